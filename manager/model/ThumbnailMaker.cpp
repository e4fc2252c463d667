#include "manager/model/ThumbnailMaker.h"

#include "image/CLfImage.h"
#include "image/ops/LfDrawCompose.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace thumbs {

namespace {

// Resample mode for thumbnails: area averaging for shrinking true-colour pictures,
// bilinear otherwise.
constexpr int32_t kThumbnailResampleMode = 3;

ThumbnailPixels Background(int width, int height)
{
    ThumbnailPixels p;
    p.width = width;
    p.height = height;
    p.rgb.resize(size_t(width) * size_t(height) * 3);
    for (size_t i = 0; i < p.rgb.size(); i += 3) {
        p.rgb[i] = kBackgroundRed;
        p.rgb[i + 1] = kBackgroundGreen;
        p.rgb[i + 2] = kBackgroundBlue;
    }
    return p;
}

// The scale a reduced decode used: the d of 2, 4 or 8 for which the picture's size in
// the file, divided by d and rounded up, gives the decoded size; 0 when none does.
int ReductionOf(int decoded, int full)
{
    for (int d : {2, 4, 8})
        if ((full + d - 1) / d == decoded)
            return d;
    return 0;
}

// Box filter of a picture of width x height 3-byte pixels into targetWidth x
// targetHeight red-green-blue pixels, where the picture's content spans extentX x
// extentY of its pixels from the top-left corner: a reduced decode's last column and
// row stand for only part of a block. row(y) gives top-down row y; bgr: its pixels are
// blue, green, red (a DIB row) rather than red, green, blue.
template <class RowFn>
ThumbnailPixels AreaAverage(int width, int height, RowFn row, bool bgr, double extentX, double extentY,
                            int targetWidth, int targetHeight)
{
    // For each target cell, the first source pixel it covers and the share of each
    // pixel from there on (flat, a fixed number of taps per cell, unused ones 0).
    struct Taps {
        std::vector<int> first;
        std::vector<float> weight;
        int count = 0;
    };
    auto taps = [](int size, double extent, int target) {
        Taps t;
        t.count = int(std::ceil(extent / target)) + 2;
        t.first.assign(size_t(target), 0);
        t.weight.assign(size_t(target) * size_t(t.count), 0.0f);
        for (int j = 0; j < target; ++j) {
            const double a = extent * j / target;
            const double b = extent * (j + 1) / target;
            int i0 = std::min(int(std::floor(a)), size - 1);
            i0 = std::max(0, std::min(i0, size - t.count));  // every tap stays inside the row
            t.first[size_t(j)] = i0;
            for (int k = 0; k < t.count; ++k) {
                const int i = i0 + k;
                const double overlap = std::min(b, double(i + 1)) - std::max(a, double(i));
                if (i < size && overlap > 0)
                    t.weight[size_t(j) * size_t(t.count) + size_t(k)] = float(overlap / (b - a));
            }
        }
        return t;
    };
    const Taps columns = taps(width, extentX, targetWidth);
    const Taps rows = taps(height, extentY, targetHeight);
    const int first = bgr ? 2 : 0;  // where red lies in a source pixel
    const int last = 2 - first;

    // Rows filtered across first (targetWidth pixels per source row), then down.
    const size_t acrossStride = size_t(targetWidth) * 3;
    std::unique_ptr<float[]> across(new float[acrossStride * size_t(height)]);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = row(y);
        float* out = across.get() + size_t(y) * acrossStride;
        for (int j = 0; j < targetWidth; ++j) {
            const uint8_t* p = in + 3 * columns.first[size_t(j)];
            const float* w = columns.weight.data() + size_t(j) * size_t(columns.count);
            const int n = std::min(columns.count, width - columns.first[size_t(j)]);
            float r = 0, g = 0, b = 0;
            for (int k = 0; k < n; ++k, p += 3) {
                r += w[k] * p[first];
                g += w[k] * p[1];
                b += w[k] * p[last];
            }
            out[3 * j] = r;
            out[3 * j + 1] = g;
            out[3 * j + 2] = b;
        }
    }
    ThumbnailPixels result;
    result.width = targetWidth;
    result.height = targetHeight;
    result.rgb.resize(size_t(targetWidth) * size_t(targetHeight) * 3);
    std::vector<float> sum(acrossStride);
    for (int k = 0; k < targetHeight; ++k) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        const float* w = rows.weight.data() + size_t(k) * size_t(rows.count);
        const int n = std::min(rows.count, height - rows.first[size_t(k)]);
        for (int t = 0; t < n; ++t) {
            if (w[t] == 0.0f)
                continue;
            const float* in = across.get() + size_t(rows.first[size_t(k)] + t) * acrossStride;
            for (size_t x = 0; x < acrossStride; ++x)
                sum[x] += w[t] * in[x];
        }
        uint8_t* out = result.rgb.data() + size_t(k) * acrossStride;
        for (size_t x = 0; x < acrossStride; ++x)
            out[x] = uint8_t(std::clamp(sum[x] + 1e-3f, 0.0f, 255.0f));  // truncated, as Resample does
    }
    return result;
}

// The fitted thumbnail of a picture a codec decoded reduced (info.fullWidth set):
// fitted to the size in the file, averaged over the area each pixel truly covers.
std::shared_ptr<ThumbnailPixels> FitReduced(const CLfImage& image, const ThumbnailFit& fit)
{
    const int dx = ReductionOf(image.GetWidth(), image.info.fullWidth);
    const int dy = ReductionOf(image.GetHeight(), image.info.fullHeight);
    const int w = image.GetWidth();
    const int h = image.GetHeight();
    const double extentX = dx > 0 ? double(image.info.fullWidth) / dx : w;
    const double extentY = dy > 0 ? double(image.info.fullHeight) / dy : h;
    if (image.GetBpp() == 24 && LfDrawMode(image) == LfComposeMode::Plain) {
        // The decoded rows as they are: no copy of the picture on the way.
        auto dibRow = [&image, h](int y) { return static_cast<const uint8_t*>(image.GetBits(uint32_t(h - 1 - y))); };
        return std::make_shared<ThumbnailPixels>(
            AreaAverage(w, h, dibRow, true, extentX, extentY, fit.width, fit.height));
    }
    const ThumbnailPixels painted = PixelsOnBackground(image);
    auto paintedRow = [&painted, w](int y) { return painted.rgb.data() + size_t(y) * size_t(w) * 3; };
    return std::make_shared<ThumbnailPixels>(
        AreaAverage(w, h, paintedRow, false, extentX, extentY, fit.width, fit.height));
}

}  // namespace

ThumbnailFit FitThumbnail(int width, int height, int boxWidth, int boxHeight)
{
    ThumbnailFit fit;
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) {
        fit.left = boxWidth / 2;
        fit.top = boxHeight / 2;
        return fit;
    }
    float ratio = std::max(float(width) / float(boxWidth), float(height) / float(boxHeight));
    if (ratio < 1.0f)
        ratio = 1.0f;  // never enlarged
    const double r = ratio;
    fit.width = std::min(int(std::ceil(double(width) / r)), boxWidth);
    fit.height = std::min(int(std::ceil(double(height) / r)), boxHeight);
    fit.left = (boxWidth - fit.width) / 2;
    fit.top = (boxHeight - fit.height) / 2;
    return fit;
}

ThumbnailPixels PixelsOnBackground(const CLfImage& image)
{
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    if (!image.IsValid() || width <= 0 || height <= 0)
        return {};
    ThumbnailPixels out;
    out.width = width;
    out.height = height;
    out.rgb.resize(size_t(width) * size_t(height) * 3);
    const RGBQUAD background{kBackgroundBlue, kBackgroundGreen, kBackgroundRed, 0};
    const LfDrawArea area{0, 0, width, height};
    LfComposeArea(image, 0, 0, width, height, area, LfDrawMode(image), background, out.rgb.data(), nullptr);
    return out;
}

ThumbnailPair MakeThumbnails(CLfImage* image, int boxWidth, int boxHeight)
{
    ThumbnailPair pair;
    boxWidth = std::max(boxWidth, 0);
    boxHeight = std::max(boxHeight, 0);
    const bool hasPicture = image && image->IsValid() && image->GetWidth() > 0 && image->GetHeight() > 0 &&
                            boxWidth > 0 && boxHeight > 0;
    const bool reduced = hasPicture && image->info.fullWidth > 0 && image->info.fullHeight > 0;
    const ThumbnailFit fit = !hasPicture ? FitThumbnail(0, 0, boxWidth, boxHeight)
                             : reduced   ? FitThumbnail(image->info.fullWidth, image->info.fullHeight, boxWidth, boxHeight)
                                         : FitThumbnail(image->GetWidth(), image->GetHeight(), boxWidth, boxHeight);
    ThumbnailPixels framed = Background(boxWidth, boxHeight);
    std::shared_ptr<ThumbnailPixels> fitted;
    if (reduced)
        fitted = FitReduced(*image, fit);
    else if (hasPicture && image->Resample(fit.width, fit.height, kThumbnailResampleMode))
        fitted = std::make_shared<ThumbnailPixels>(PixelsOnBackground(*image));
    if (!fitted) {
        pair.fitted = std::make_shared<ThumbnailPixels>();
        pair.framed = std::make_shared<ThumbnailPixels>(std::move(framed));
        return pair;
    }
    const size_t rowBytes = size_t(fitted->width) * 3;
    for (int y = 0; y < fitted->height; ++y)
        std::copy_n(fitted->rgb.data() + size_t(y) * rowBytes, rowBytes,
                    framed.rgb.data() + (size_t(fit.top + y) * size_t(boxWidth) + size_t(fit.left)) * 3);
    pair.fitted = std::move(fitted);
    pair.framed = std::make_shared<ThumbnailPixels>(std::move(framed));
    return pair;
}

}  // namespace thumbs
