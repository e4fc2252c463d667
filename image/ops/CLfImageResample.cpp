// Resampling: nearest pixel, cubic B-spline, area averaging for reducing true-colour
// images (the thumbnail and batch path), and bilinear for everything else.

#include "image/CLfImage.h"

#include "image/ops/LfImageWork.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Area averaging works in thousandths of a source pixel.
constexpr int64_t kUnit = 1000;

// How the source columns (or rows) of one axis fall into the target cells: cell k
// covers the source interval [k x size / n, (k + 1) x size / n) in thousandths.
// Source pixel i gives `first[i]` thousandths to cell `cell[i]` and the rest of
// its thousand to the next cell; `total[k]` is the width of cell k.
struct AreaAxis {
    std::vector<int32_t> cell;
    std::vector<int32_t> first;
    std::vector<int64_t> total;
};

AreaAxis MakeAreaAxis(int64_t size, int64_t n)
{
    AreaAxis axis;
    axis.cell.resize(size_t(size));
    axis.first.resize(size_t(size));
    axis.total.resize(size_t(n));
    int64_t k = 0;
    int64_t edge = size * kUnit / n;  // right edge of cell k
    for (int64_t i = 0; i < size; ++i) {
        const int64_t start = i * kUnit;
        const int64_t end = start + kUnit;
        axis.cell[size_t(i)] = int32_t(k);
        axis.first[size_t(i)] = int32_t(std::min(edge, end) - start);
        // Shrinking: a cell is wider than a pixel, so at most one edge falls in here.
        if (edge <= end && k + 1 < n) {
            ++k;
            edge = (k + 1) * size * kUnit / n;
        }
    }
    for (int64_t j = 0; j < n; ++j)
        axis.total[size_t(j)] = ((j + 1) * size * kUnit / n) - (j * size * kUnit / n);
    return axis;
}

// The source columns of one target column: the pixels wholly inside it, and the
// shares of the pixels cut by its left and right edges (-1: none).
struct Span {
    int32_t head = -1;
    int32_t headWeight = 0;
    int32_t begin = 0;
    int32_t end = 0;
    int32_t tail = -1;
    int32_t tailWeight = 0;
};

std::vector<Span> MakeSpans(const AreaAxis& axis, int64_t n)
{
    std::vector<Span> spans(static_cast<size_t>(n));
    std::vector<bool> started(static_cast<size_t>(n), false);
    for (size_t i = 0; i < axis.cell.size(); ++i) {
        const size_t k = size_t(axis.cell[i]);
        const int32_t f = axis.first[i];
        if (f == kUnit) {
            if (!started[k]) {
                spans[k].begin = int32_t(i);
                started[k] = true;
            }
            spans[k].end = int32_t(i + 1);
            continue;
        }
        spans[k].tail = int32_t(i);
        spans[k].tailWeight = f;
        if (k + 1 < size_t(n)) {
            spans[k + 1].head = int32_t(i);
            spans[k + 1].headWeight = int32_t(kUnit) - f;
        }
    }
    return spans;
}

// Box filter for 24-bit images that shrink in both directions. Sums are 64-bit
// (a 255-valued cell of 136 x 136 source pixels already needs 2^32 thousandths)
// and every cell is divided by its own covered area, so a uniform image stays
// exactly uniform whatever the ratio.
void AreaAverage(CLfImage& src, CLfImage& dst)
{
    const int64_t w = src.GetWidth();
    const int64_t h = src.GetHeight();
    const int64_t nw = dst.GetWidth();
    const int64_t nh = dst.GetHeight();
    const AreaAxis xs = MakeAreaAxis(w, nw);
    const AreaAxis ys = MakeAreaAxis(h, nh);

    const std::vector<Span> spans = MakeSpans(xs, nw);
    std::vector<int64_t> rowSum(size_t(3 * nw));        // one source row, per target column
    std::vector<int64_t> current(size_t(3 * nw));       // the target row being filled
    std::vector<int64_t> next(size_t(3 * nw));          // the share of the next target row
    int64_t targetRow = 0;

    auto emit = [&](int64_t row) {
        uint8_t* out = dst.GetBits(uint32_t(row));
        const int64_t rowArea = ys.total[size_t(row)];
        for (int64_t k = 0; k < nw; ++k) {
            const int64_t area = xs.total[size_t(k)] * rowArea;
            for (int c = 0; c < 3; ++c)
                out[3 * k + c] = uint8_t(std::min<int64_t>(current[size_t(3 * k + c)] / area, 255));
        }
    };

    for (int64_t r = 0; r < h; ++r) {
        if (lfimg::RowStep(src, r, h))
            return;
        // Horizontal pass: the row's pixels summed into target columns, whole pixels
        // first and the two cut pixels by their shares.
        const uint8_t* row = src.GetBits(uint32_t(r));
        for (int64_t k = 0; k < nw; ++k) {
            const Span& span = spans[size_t(k)];
            uint64_t a0 = 0, a1 = 0, a2 = 0;
            const uint8_t* p = row + 3 * int64_t(span.begin);
            // 32-bit sums run faster; they hold 2^24 pixels of 255 at least.
            for (int32_t i = span.begin; i < span.end;) {
                const int32_t stop = std::min(span.end, i + (1 << 24));
                uint32_t b0 = 0, b1 = 0, b2 = 0;
                for (; i < stop; ++i, p += 3) {
                    b0 += p[0];
                    b1 += p[1];
                    b2 += p[2];
                }
                a0 += b0;
                a1 += b1;
                a2 += b2;
            }
            int64_t s0 = int64_t(a0) * kUnit, s1 = int64_t(a1) * kUnit, s2 = int64_t(a2) * kUnit;
            for (const auto& [pixel, weight] : {std::pair{span.head, span.headWeight}, std::pair{span.tail, span.tailWeight}}) {
                if (pixel < 0)
                    continue;
                const uint8_t* q = row + 3 * int64_t(pixel);
                s0 += q[0] * int64_t(weight);
                s1 += q[1] * int64_t(weight);
                s2 += q[2] * int64_t(weight);
            }
            rowSum[size_t(3 * k)] = s0;
            rowSum[size_t(3 * k + 1)] = s1;
            rowSum[size_t(3 * k + 2)] = s2;
        }
        // Vertical pass: the row's share of the current and of the next target row.
        const int32_t k = ys.cell[size_t(r)];
        const int64_t f = ys.first[size_t(r)];
        const int64_t g = kUnit - f;
        const size_t n3 = size_t(3 * nw);
        for (size_t i = 0; i < n3; ++i)
            current[i] += rowSum[i] * f;
        if (g > 0) {
            for (size_t i = 0; i < n3; ++i)
                next[i] += rowSum[i] * g;
        }
        const bool closes = r + 1 == h || ys.cell[size_t(r + 1)] != k;
        if (closes && targetRow < nh) {
            emit(targetRow++);
            current.swap(next);
            std::fill(next.begin(), next.end(), 0);
        }
    }
}

// Bilinear interpolation of one channel, as single-precision products.
inline uint8_t Lerp2(float dx, float dy, uint8_t c00, uint8_t c01, uint8_t c10, uint8_t c11)
{
    const float v = (1 - dx) * ((1 - dy) * c00 + dy * c01) + dx * ((1 - dy) * c10 + dy * c11);
    return uint8_t(std::clamp(v, 0.0f, 255.0f));
}

void Bilinear(CLfImage& src, CLfImage& dst, float xScale, float yScale)
{
    const int64_t w = src.GetWidth();
    const int64_t h = src.GetHeight();
    const int64_t nw = dst.GetWidth();
    const int64_t nh = dst.GetHeight();
    const bool direct = src.GetBpp() == 24;
    for (int64_t y = 0; y < nh; ++y) {
        if (lfimg::RowStep(src, y, nh))
            return;
        const float fy = float(y) * yScale;
        const int64_t iy = int64_t(fy);
        const int64_t iy1 = std::min(iy + 1, h - 1);
        const float dy = fy - float(iy);
        for (int64_t x = 0; x < nw; ++x) {
            const float fx = float(x) * xScale;
            const int64_t ix = int64_t(fx);
            const int64_t ix1 = std::min(ix + 1, w - 1);
            const float dx = fx - float(ix);
            if (direct) {
                const uint8_t* r0 = src.GetBits(uint32_t(std::min(iy, h - 1)));
                const uint8_t* r1 = src.GetBits(uint32_t(iy1));
                const int64_t x0 = std::min(ix, w - 1);
                uint8_t* out = dst.GetBits(uint32_t(y)) + 3 * x;
                for (int c = 0; c < 3; ++c)
                    out[c] = Lerp2(dx, dy, r0[3 * x0 + c], r1[3 * x0 + c], r0[3 * ix1 + c], r1[3 * ix1 + c]);
            } else {
                const RGBQUAD c00 = src.GetPixelColor(ix, iy);
                const RGBQUAD c01 = src.GetPixelColor(ix, iy1);
                const RGBQUAD c10 = src.GetPixelColor(ix1, iy);
                const RGBQUAD c11 = src.GetPixelColor(ix1, iy1);
                RGBQUAD v;
                v.rgbBlue = Lerp2(dx, dy, c00.rgbBlue, c01.rgbBlue, c10.rgbBlue, c11.rgbBlue);
                v.rgbGreen = Lerp2(dx, dy, c00.rgbGreen, c01.rgbGreen, c10.rgbGreen, c11.rgbGreen);
                v.rgbRed = Lerp2(dx, dy, c00.rgbRed, c01.rgbRed, c10.rgbRed, c11.rgbRed);
                dst.SetPixelColor(x, y, v);
            }
        }
    }
}

void Nearest(CLfImage& src, CLfImage& dst, float xScale, float yScale)
{
    const int64_t nw = dst.GetWidth();
    const int64_t nh = dst.GetHeight();
    const bool direct = src.GetBpp() == 24;
    for (int64_t y = 0; y < nh; ++y) {
        if (lfimg::RowStep(src, y, nh))
            return;
        const int64_t sy = int64_t(float(y) * yScale);
        for (int64_t x = 0; x < nw; ++x) {
            const int64_t sx = int64_t(float(x) * xScale);
            if (direct && src.IsInside(sx, sy))
                std::memcpy(dst.GetBits(uint32_t(y)) + 3 * x, src.GetBits(uint32_t(sy)) + 3 * sx, 3);
            else
                dst.SetPixelColor(x, y, src.GetPixelColor(sx, sy));
        }
    }
}

// The weights sum to 1, but in single precision a uniform neighbourhood of v may
// sum to a hair below v; the small bias keeps such sums from truncating to v - 1.
inline uint8_t ToByte(float sum)
{
    return uint8_t(std::clamp(sum + 1.0f / 1024, 0.0f, 255.0f));
}

// Cubic B-spline over the 4 x 4 neighbourhood; the weights of each axis depend only
// on the target column or row, so they are computed once per column and per row.
// The column table covers at most kBicubicBlock columns at a time: a table for a
// target row of a billion 1-bit pixels would need tens of gigabytes.
constexpr int64_t kBicubicBlock = 65536;

void Bicubic(CLfImage& src, CLfImage& dst, float xScale, float yScale)
{
    const int64_t w = src.GetWidth();
    const int64_t h = src.GetHeight();
    const int64_t nw = dst.GetWidth();
    const int64_t nh = dst.GetHeight();
    const bool direct = src.GetBpp() == 24;
    struct Taps {
        int64_t pos[4];
        float weight[4];
    };
    const int64_t blocks = (nw + kBicubicBlock - 1) / kBicubicBlock;
    std::vector<Taps> columns(static_cast<size_t>(std::min(nw, kBicubicBlock)));
    for (int64_t block = 0; block < blocks; ++block) {
        const int64_t x0 = block * kBicubicBlock;
        const int64_t x1 = std::min(nw, x0 + kBicubicBlock);
        for (int64_t x = x0; x < x1; ++x) {
            Taps& col = columns[size_t(x - x0)];
            const float fx = float(x) * xScale - 0.5f;
            const int64_t ix = int64_t(std::floor(fx));
            const float dx = fx - float(ix);
            for (int n = -1; n <= 2; ++n) {
                col.pos[n + 1] = std::clamp<int64_t>(ix + n, 0, w - 1);
                col.weight[n + 1] = CLfImage::KernelBSpline(dx - float(n));
            }
        }
        for (int64_t y = 0; y < nh; ++y) {
            if (lfimg::RowStep(src, block * nh + y, blocks * nh))
                return;
            const float fy = float(y) * yScale - 0.5f;
            const int64_t iy = int64_t(std::floor(fy));
            const float dy = fy - float(iy);
            Taps rows;
            for (int m = -1; m <= 2; ++m) {
                rows.pos[m + 1] = std::clamp<int64_t>(iy + m, 0, h - 1);
                rows.weight[m + 1] = CLfImage::KernelBSpline(float(m) - dy);
            }
            for (int64_t x = x0; x < x1; ++x) {
                const Taps& col = columns[size_t(x - x0)];
                float sum[3] = {0, 0, 0};
                for (int m = 0; m < 4; ++m) {
                    const uint8_t* row = direct ? src.GetBits(uint32_t(rows.pos[m])) : nullptr;
                    for (int n = 0; n < 4; ++n) {
                        const float k = rows.weight[m] * col.weight[n];
                        if (direct) {
                            const uint8_t* p = row + 3 * col.pos[n];
                            sum[0] += k * p[0];
                            sum[1] += k * p[1];
                            sum[2] += k * p[2];
                        } else {
                            const RGBQUAD c = src.GetPixelColor(col.pos[n], rows.pos[m]);
                            sum[0] += k * c.rgbBlue;
                            sum[1] += k * c.rgbGreen;
                            sum[2] += k * c.rgbRed;
                        }
                    }
                }
                const uint8_t b = ToByte(sum[0]);
                const uint8_t g = ToByte(sum[1]);
                const uint8_t r = ToByte(sum[2]);
                if (direct) {
                    uint8_t* out = dst.GetBits(uint32_t(y)) + 3 * x;
                    out[0] = b;
                    out[1] = g;
                    out[2] = r;
                } else {
                    dst.SetPixelColor(x, y, RGBQUAD{b, g, r, 0});
                }
            }
        }
    }
}

}  // namespace

float CLfImage::KernelBSpline(float t)
{
    // All five terms: without the last one the weight turns negative beyond t = 2.
    auto p3 = [](float u) { return u > 0 ? u * u * u : 0.0f; };
    return (p3(t + 2) - 4 * p3(t + 1) + 6 * p3(t) - 4 * p3(t - 1) + p3(t - 2)) / 6;
}

bool CLfImage::Resample(int32_t newWidth, int32_t newHeight, int32_t mode, CLfImage* destination)
{
    if (!dib || newWidth <= 0 || newHeight <= 0)
        return false;
    const int64_t w = header.biWidth;
    const int64_t h = header.biHeight;
    if (newWidth == w && newHeight == h) {
        if (destination && destination != this)
            destination->Copy(*this, true, true, true);
        return true;
    }
    const float xScale = float(w) / float(newWidth);
    const float yScale = float(h) / float(newHeight);
    CLfImage result;
    if (!lfimg::CreateWorkImage(*this, result, newWidth, newHeight, header.biBitCount))
        return false;
    if (mode == 1)
        Nearest(*this, result, xScale, yScale);
    else if (mode == 2)
        Bicubic(*this, result, xScale, yScale);
    else if (header.biBitCount == 24 && newWidth < w && newHeight < h)
        AreaAverage(*this, result);
    else
        Bilinear(*this, result, xScale, yScale);

    if (alpha) {
        result.AlphaCreate();
        if (!result.alpha)
            return false;
        for (int64_t y = 0; y < newHeight; ++y) {
            const int64_t sy = std::min<int64_t>(int64_t(float(y) * yScale), h - 1);
            for (int64_t x = 0; x < newWidth; ++x) {
                const int64_t sx = std::min<int64_t>(int64_t(float(x) * xScale), w - 1);
                result.alpha[y * newWidth + x] = alpha[sy * w + sx];
            }
        }
    }
    lfimg::DeliverResult(*this, result, destination);
    return true;
}
