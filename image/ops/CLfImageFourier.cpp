// Fourier transforms (fast radix-2 and direct) and the curvature-step repair that
// smooths each colour channel.

#include "image/CLfImage.h"
#include "image/ops/LfColorMath.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>
#include <utility>
#include <vector>

bool CLfImage::IsPowerOf2(int64_t n) { return n > 0 && (n & (n - 1)) == 0; }

bool CLfImage::FFT(int32_t direction, int32_t m, double* x, double* y)
{
    if (!x || !y || m < 0 || m > 30) return false;
    const int64_t n = int64_t{1} << m;

    // Bit-reversal reordering.
    for (int64_t i = 0, j = 0; i < n - 1; ++i) {
        if (i < j) {
            std::swap(x[i], x[j]);
            std::swap(y[i], y[j]);
        }
        int64_t k = n >> 1;
        while (k <= j) {
            j -= k;
            k >>= 1;
        }
        j += k;
    }

    // Butterflies; the stage twiddle (u1, u2) advances by (c1, c2).
    double c1 = -1.0, c2 = 0.0;
    int64_t l2 = 1;
    for (int32_t l = 0; l < m; ++l) {
        const int64_t l1 = l2;
        l2 <<= 1;
        double u1 = 1.0, u2 = 0.0;
        for (int64_t j = 0; j < l1; ++j) {
            for (int64_t i = j; i < n; i += l2) {
                const int64_t i1 = i + l1;
                const double t1 = u1 * x[i1] - u2 * y[i1];
                const double t2 = u1 * y[i1] + u2 * x[i1];
                x[i1] = x[i] - t1;
                y[i1] = y[i] - t2;
                x[i] += t1;
                y[i] += t2;
            }
            const double z = u1 * c1 - u2 * c2;
            u2 = u1 * c2 + u2 * c1;
            u1 = z;
        }
        c2 = std::sqrt((1.0 - c1) / 2.0);
        if (direction == 1) c2 = -c2;
        c1 = std::sqrt((1.0 + c1) / 2.0);
    }

    if (direction == 1) {
        for (int64_t i = 0; i < n; ++i) {
            x[i] /= static_cast<double>(n);
            y[i] /= static_cast<double>(n);
        }
    }
    return true;
}

bool CLfImage::DFT(int32_t direction, int32_t n, double* x, double* y, double* x2, double* y2)
{
    if (n <= 0 || !x || !y || !x2 || !y2) return false;
    const double twoPi = 6.2831855f;
    for (int32_t k = 0; k < n; ++k) {
        const double arg = -direction * twoPi * k / n;
        double re = 0.0, im = 0.0;
        for (int32_t j = 0; j < n; ++j) {
            const double c = std::cos(j * arg), s = std::sin(j * arg);
            re += x[j] * c - y[j] * s;
            im += x[j] * s + y[j] * c;
        }
        x2[k] = re;
        y2[k] = im;
    }
    for (int32_t k = 0; k < n; ++k) {
        x[k] = direction == 1 ? x2[k] / n : x2[k];
        y[k] = direction == 1 ? y2[k] / n : y2[k];
    }
    return true;
}

namespace {

int32_t Log2(int64_t n)
{
    int32_t m = 0;
    while ((int64_t{1} << m) < n) ++m;
    return m;
}

// The grey working image of one part of the transform, sized width x height: a
// copy of the source (never the source itself); without a source, a copy of the
// destination, whose own pixels are then the input; zeros (index 0) without
// either. A given image without pixels refuses the transform.
bool MakeWorkingPart(CLfImage& out, const CLfImage* source, const CLfImage* destination, int32_t width,
                     int32_t height)
{
    const CLfImage* input = source ? source : destination;
    if (!input) {
        if (!out.Create(width, height, 8, 0)) return false;
        out.SetGrayPalette();
        return true;
    }
    if (!input->dib || !out.Copy(*input, true, false, false)) return false;
    if (out.GetBpp() != 8 || !out.IsGrayScale()) {
        if (!out.GrayScale()) return false;
    }
    if (out.GetWidth() != width || out.GetHeight() != height) return out.Resample(width, height, 0);
    return true;
}

// Transforms `count` lines of `length` values, `stride` apart within a line and
// `step` apart between lines, fast for powers of 2 and direct otherwise.
void TransformLines(std::vector<double>& re, std::vector<double>& im, int64_t count, int64_t length,
                    int64_t stride, int64_t step, int32_t direction, std::vector<double>* scratch)
{
    const bool fast = CLfImage::IsPowerOf2(length);
    const int32_t m = Log2(length);
    double* x = scratch[0].data();
    double* y = scratch[1].data();
    for (int64_t line = 0; line < count; ++line) {
        const int64_t base = line * step;
        for (int64_t i = 0; i < length; ++i) {
            x[i] = re[base + i * stride];
            y[i] = im[base + i * stride];
        }
        if (fast)
            CLfImage::FFT(direction, m, x, y);
        else
            CLfImage::DFT(direction, static_cast<int32_t>(length), x, y, scratch[2].data(), scratch[3].data());
        for (int64_t i = 0; i < length; ++i) {
            re[base + i * stride] = x[i];
            im[base + i * stride] = y[i];
        }
    }
}

}  // namespace

bool CLfImage::FFT2(const CLfImage* srcReal, const CLfImage* srcImag, CLfImage* dstReal, CLfImage* dstImag,
                    int32_t direction, bool forcePow2, bool magnitude)
{
    const CLfImage* sized = srcReal ? srcReal : srcImag;
    if (!sized || !sized->dib) return false;
    int64_t w = sized->GetWidth(), h = sized->GetHeight();
    if (forcePow2 && (!IsPowerOf2(w) || !IsPowerOf2(h))) {
        w = int64_t{1} << Log2(w);
        h = int64_t{1} << Log2(h);
    }
    // The grid holds two doubles per cell; the rounded size may exceed what a
    // 32-bit width holds. Both go through the size gate before anything is made.
    if (w > INT32_MAX || h > INT32_MAX) {
        SetLastError(lfimg::kMaxMemoryError);
        return false;
    }
    if (!CheckSize(w, h, 128)) return false;
    const int32_t width = static_cast<int32_t>(w), height = static_cast<int32_t>(h);

    CLfImage real(0), imag(0);
    if (!MakeWorkingPart(real, srcReal, dstReal, width, height) ||
        !MakeWorkingPart(imag, srcImag, dstImag, width, height)) {
        SetLastError(real.info.lastError[0] ? real.GetLastError() : imag.GetLastError());
        return false;
    }

    const size_t cells = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<double> re, im;
    std::vector<double> scratch[4];
    try {
        re.resize(cells);
        im.resize(cells);
        for (auto& s : scratch) s.resize(static_cast<size_t>(std::max(w, h)));
    } catch (const std::bad_alloc&) {
        SetLastError("FFT2 can't allocate memory");
        return false;
    }
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* r = real.GetBits(static_cast<uint32_t>(y));
        const uint8_t* i = imag.GetBits(static_cast<uint32_t>(y));
        for (int32_t x = 0; x < width; ++x) {
            re[static_cast<size_t>(y) * width + x] = r[x] - 128.0;
            im[static_cast<size_t>(y) * width + x] = i[x] - 128.0;
        }
    }

    TransformLines(re, im, h, w, 1, w, direction, scratch);  // rows along x
    TransformLines(re, im, w, h, w, 1, direction, scratch);  // columns along y

    double s = static_cast<double>(std::max(w, h)) / 16.0;
    if (direction == -1) s = 1.0 / s;
    if (magnitude) s *= 4.0;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* r = real.GetBits(static_cast<uint32_t>(y));
        uint8_t* i = imag.GetBits(static_cast<uint32_t>(y));
        for (int32_t x = 0; x < width; ++x) {
            const double zr = re[static_cast<size_t>(y) * width + x];
            const double zi = im[static_cast<size_t>(y) * width + x];
            if (magnitude) {
                r[x] = lfcolor::ClampTrunc(s * (std::log(std::hypot(zr, zi)) + 3.0));
                i[x] = lfcolor::ClampTrunc(s * (zr == 0.0 ? std::atan(zi * 1e10) : std::atan(zi / zr)) + 128.0);
            } else {
                r[x] = lfcolor::ClampTrunc(s * zr + 128.0);
                i[x] = lfcolor::ClampTrunc(s * zi + 128.0);
            }
        }
    }
    if (dstReal) dstReal->Transfer(real);
    if (dstImag) dstImag->Transfer(imag);
    return true;
}

bool CLfImage::RepairChannel(CLfImage* channel, float radius)
{
    // Channels are grey index images; a true-colour image has no index to smooth.
    if (!channel || !channel->dib || channel->header.biClrUsed == 0) return false;
    CLfImage& ch = *channel;
    CLfImage out(0);
    out.Copy(ch, true, true, true);
    if (!out.dib) return false;

    const int32_t w = ch.header.biWidth, h = ch.header.biHeight;
    auto p = [&ch](int32_t x, int32_t y) { return static_cast<double>(ch.GetPixelIndex(x, y)); };
    for (int32_t y = 1; y < h - 1; ++y) {
        for (int32_t x = 1; x < w - 1; ++x) {
            const double ix = (p(x + 1, y) - p(x - 1, y)) * 0.5;
            const double iy = (p(x, y + 1) - p(x, y - 1)) * 0.5;
            const double ixx = p(x + 1, y) - 2.0 * p(x, y) + p(x - 1, y);
            const double iyy = p(x, y + 1) - 2.0 * p(x, y) + p(x, y - 1);
            const double ixy = (p(x + 1, y + 1) + p(x - 1, y - 1) - p(x - 1, y + 1) - p(x + 1, y - 1)) * 0.25;
            const double step = ((iy * iy + 1.0) * ixx - ix * iy * ixy + (ix * ix + 1.0) * iyy) /
                                (ix * ix + iy * iy + 1.0);
            out.SetPixelIndex(x, y, lfcolor::ClampTrunc(p(x, y) + radius * step));
        }
    }
    ch.Transfer(out);
    return true;
}

bool CLfImage::Repair(float radius, int32_t iterations, int32_t space)
{
    if (!dib) return false;
    CLfImage c1(0), c2(0), c3(0);
    bool split = false;
    switch (space) {
        case 1: split = SplitHSL(&c1, &c2, &c3); break;
        case 2: split = SplitYUV(&c1, &c2, &c3); break;
        case 3: split = SplitYIQ(&c1, &c2, &c3); break;
        case 4: split = SplitXYZ(&c1, &c2, &c3); break;
        default: split = SplitRGB(&c1, &c2, &c3); break;
    }
    if (!split) return false;
    for (int32_t i = 0; i < iterations; ++i) {
        if (!RepairChannel(&c1, radius) || !RepairChannel(&c2, radius) || !RepairChannel(&c3, radius)) return false;
    }
    CLfImage alphaImage(0);
    const bool withAlpha = alpha && AlphaSplit(&alphaImage);
    return Combine(&c1, &c2, &c3, withAlpha ? &alphaImage : nullptr, space);
}
