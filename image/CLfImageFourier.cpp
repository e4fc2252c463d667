// Fourier transforms (fast radix-2 and direct) and the curvature-step repair that
// smooths each colour channel.

#include "image/CLfImage.h"
#include "image/LfColorMath.h"

#include <cmath>
#include <memory>
#include <utility>

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
