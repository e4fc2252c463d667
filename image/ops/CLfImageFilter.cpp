// Neighbourhood operations: convolution (square and separable), minimum, maximum,
// median, contour, jitter and noise, and Mix, which combines another image into
// this one. The window filters read the image as it was and write a working copy
// that replaces it at the end; they favour plain accessors over speed.

#include "image/CLfImage.h"
#include "image/ops/LfColorMath.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

// Wide enough for any sum of int32 weights times byte values over a window.
__extension__ using Sum = __int128;

// Pixel (x, y) of the source, or the source's outside colour: coordinates are
// 64-bit so that large windows or displacements cannot wrap into the image.
class Taps {
public:
    explicit Taps(const CLfImage& source)
        : m_src(source), m_w(source.header.biWidth), m_h(source.header.biHeight),
          m_outside(source.GetPixelColor(-1, -1))
    {
    }

    bool Inside(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < m_w && y < m_h; }

    RGBQUAD At(int64_t x, int64_t y) const
    {
        if (!Inside(x, y)) return m_outside;
        return m_src.GetPixelColor(static_cast<int32_t>(x), static_cast<int32_t>(y));
    }

private:
    const CLfImage& m_src;
    int64_t m_w, m_h;
    RGBQUAD m_outside;
};

// The walk of the window filters: the selection walk of `shape`, with progress
// row x 100 / height in `owner` and a stop at the next row when its escape is set.
template <class F>
void WindowWalk(CLfImage& owner, const CLfImage& shape, F f)
{
    const lfcolor::WalkArea area = lfcolor::SelectionWalkArea(shape);
    const int32_t h = shape.header.biHeight;
    for (int32_t y = area.bottom; y < area.top; ++y) {
        owner.info.progress = lfcolor::Percent(y, h);
        if (owner.info.escape) break;
        for (int32_t x = area.left; x < area.right; ++x) {
            if (area.masked && !shape.SelectionIsInside(x, y)) continue;
            f(x, y);
        }
    }
}

uint8_t Scale(Sum sum, int32_t divisor, int32_t offset)
{
    if (divisor) sum /= divisor;  // truncates toward zero
    sum += offset;
    return sum < 0 ? 0 : sum > 255 ? 255 : static_cast<uint8_t>(sum);
}

// Per-channel sums of weight x tap, turned into a colour by divisor and offset.
struct Sums {
    Sum b = 0, g = 0, r = 0;

    void Add(Sum weight, const RGBQUAD& c)
    {
        b += weight * c.rgbBlue;
        g += weight * c.rgbGreen;
        r += weight * c.rgbRed;
    }

    RGBQUAD Colour(int32_t divisor, int32_t offset) const
    {
        RGBQUAD c;
        c.rgbBlue = Scale(b, divisor, offset);
        c.rgbGreen = Scale(g, divisor, offset);
        c.rgbRed = Scale(r, divisor, offset);
        return c;
    }
};

// A window size must be positive; sizes whose k x k taps exceed what the library
// would ever allocate for an image are refused as well.
bool ValidWindow(int32_t k)
{
    return k > 0 && static_cast<uint64_t>(k) * static_cast<uint64_t>(k) <= lfimg::kMaxImageMemory;
}

// The working copy of a window filter: pixels, selection and alpha of the image,
// so rows an escape leaves unvisited keep the image's own pixels.
bool MakeWorkingCopy(const CLfImage& image, CLfImage& copy)
{
    return copy.Copy(image, true, true, true) && copy.dib;
}

}  // namespace

bool CLfImage::Filter(const int32_t* kernel, int32_t k, int32_t divisor, int32_t offset)
{
    if (!dib || !kernel || !ValidWindow(k)) return false;
    CLfImage out(0);
    if (!MakeWorkingCopy(*this, out)) return false;
    const Taps taps(*this);
    const int64_t lo = lfcolor::WindowFirst(k), hi = lfcolor::WindowLast(k), half = k / 2;
    WindowWalk(*this, out, [&](int32_t x, int32_t y) {
        Sums sums;
        for (int64_t j = lo; j <= hi; ++j) {
            const int32_t* weights = kernel + (j + half) * k + half;
            for (int64_t i = lo; i <= hi; ++i) sums.Add(weights[i], taps.At(x + i, y + j));
        }
        out.SetPixelColor(x, y, sums.Colour(divisor, offset), false);
    });
    Transfer(out);
    return true;
}

bool CLfImage::FilterSeparable(const int32_t* kernel, int32_t k, int32_t divisor, int32_t offset)
{
    if (!dib || !kernel || !ValidWindow(k)) return false;
    const int64_t lo = lfcolor::WindowFirst(k), hi = lfcolor::WindowLast(k), half = k / 2;

    // One pass of the one-dimensional kernel from `from` into `to`, along y
    // (vertical) or x.
    auto pass = [&](CLfImage& from, CLfImage& to, bool vertical) {
        const Taps taps(from);
        WindowWalk(*this, to, [&](int32_t x, int32_t y) {
            Sums sums;
            for (int64_t j = lo; j <= hi; ++j)
                sums.Add(kernel[j + half], vertical ? taps.At(x, y + j) : taps.At(x + j, y));
            to.SetPixelColor(x, y, sums.Colour(divisor, offset), false);
        });
    };

    CLfImage middle(0), out(0);
    if (!MakeWorkingCopy(*this, middle)) return false;
    pass(*this, middle, true);
    if (!MakeWorkingCopy(middle, out)) return false;
    pass(middle, out, false);
    Transfer(out);
    return true;
}

namespace {

// Per channel the smallest or largest value of the window.
bool MinMaxFilter(CLfImage& image, int32_t k, bool largest)
{
    if (!image.dib || !ValidWindow(k)) return false;
    CLfImage out(0);
    if (!MakeWorkingCopy(image, out)) return false;
    const Taps taps(image);
    const int64_t lo = lfcolor::WindowFirst(k), hi = lfcolor::WindowLast(k);
    WindowWalk(image, out, [&](int32_t x, int32_t y) {
        RGBQUAD best = taps.At(x + lo, y + lo);
        for (int64_t j = lo; j <= hi; ++j) {
            for (int64_t i = lo; i <= hi; ++i) {
                const RGBQUAD c = taps.At(x + i, y + j);
                if (largest) {
                    best.rgbBlue = std::max(best.rgbBlue, c.rgbBlue);
                    best.rgbGreen = std::max(best.rgbGreen, c.rgbGreen);
                    best.rgbRed = std::max(best.rgbRed, c.rgbRed);
                } else {
                    best.rgbBlue = std::min(best.rgbBlue, c.rgbBlue);
                    best.rgbGreen = std::min(best.rgbGreen, c.rgbGreen);
                    best.rgbRed = std::min(best.rgbRed, c.rgbRed);
                }
            }
        }
        out.SetPixelColor(x, y, best, false);
    });
    image.Transfer(out);
    return true;
}

}  // namespace

bool CLfImage::Erode(int32_t k) { return MinMaxFilter(*this, k, false); }

bool CLfImage::Dilate(int32_t k) { return MinMaxFilter(*this, k, true); }

bool CLfImage::Median(int32_t k)
{
    if (!dib || !ValidWindow(k)) return false;
    std::vector<RGBQUAD> window;
    try {
        window.resize(static_cast<size_t>(k) * static_cast<size_t>(k));
    } catch (const std::bad_alloc&) {
        return false;
    }
    CLfImage out(0);
    if (!MakeWorkingCopy(*this, out)) return false;
    const Taps taps(*this);
    const int64_t lo = lfcolor::WindowFirst(k), hi = lfcolor::WindowLast(k);
    const auto middle = window.begin() + static_cast<ptrdiff_t>(window.size() / 2);
    WindowWalk(*this, out, [&](int32_t x, int32_t y) {
        size_t n = 0;
        for (int64_t j = lo; j <= hi; ++j)
            for (int64_t i = lo; i <= hi; ++i) window[n++] = taps.At(x + i, y + j);
        std::nth_element(window.begin(), middle, window.end(),
                         [](const RGBQUAD& a, const RGBQUAD& b) { return CompareLuminance(a, b) < 0; });
        out.SetPixelColor(x, y, *middle, false);
    });
    Transfer(out);
    return true;
}

bool CLfImage::Contour()
{
    if (!dib) return false;
    CLfImage out(0);
    if (!MakeWorkingCopy(*this, out)) return false;
    const Taps taps(*this);
    WindowWalk(*this, out, [&](int32_t x, int32_t y) {
        const RGBQUAD centre = taps.At(x, y);
        int mb = 0, mg = 0, mr = 0;
        for (int i = -1; i <= 1; ++i) {
            for (int j = -1; j <= 1; ++j) {
                const RGBQUAD n = taps.At(x + i, y + j);
                if (n.rgbBlue - centre.rgbBlue > mb) mb = n.rgbBlue;
                if (n.rgbGreen - centre.rgbGreen > mg) mg = n.rgbGreen;
                if (n.rgbRed - centre.rgbRed > mr) mr = n.rgbRed;
            }
        }
        RGBQUAD c;
        c.rgbBlue = static_cast<uint8_t>(255 - mb);
        c.rgbGreen = static_cast<uint8_t>(255 - mg);
        c.rgbRed = static_cast<uint8_t>(255 - mr);
        out.SetPixelColor(x, y, c, false);
    });
    Transfer(out);
    return true;
}

namespace {

// One draw of the runtime's generator as a fraction 0..1 of 15 bits, the range
// these filters are written for (this runtime's generator gives 31 bits).
double RandomFraction()
{
    return (std::rand() % 32768) * static_cast<double>(0.000030518509f);
}

// A displacement of up to +-radius.
int64_t RandomShift(int32_t radius)
{
    return static_cast<int64_t>((RandomFraction() - 0.5) * 2.0 * radius);
}

}  // namespace

bool CLfImage::Jitter(int32_t radius)
{
    if (!dib) return false;
    CLfImage out(0);
    if (!MakeWorkingCopy(*this, out)) return false;
    const Taps taps(*this);
    const bool palette = header.biClrUsed != 0;
    WindowWalk(*this, out, [&](int32_t x, int32_t y) {
        const int64_t dx = RandomShift(radius);
        const int64_t dy = RandomShift(radius);
        int64_t sx = x + dx, sy = y + dy;
        if (!taps.Inside(sx, sy)) {
            sx = x;
            sy = y;
        }
        const int32_t px = static_cast<int32_t>(sx), py = static_cast<int32_t>(sy);
        if (palette)
            out.SetPixelIndex(x, y, GetPixelIndex(px, py));
        else
            out.SetPixelColor(x, y, GetPixelColor(px, py), false);
        if (out.alpha) out.AlphaSet(x, y, AlphaGet(px, py));
    });
    Transfer(out);
    return true;
}

bool CLfImage::Noise(int32_t level)
{
    if (!dib) return false;
    const lfcolor::WalkArea area = lfcolor::SelectionWalkArea(*this);
    auto shift = [level](uint8_t v) {
        return lfcolor::ClampInt(v + static_cast<int64_t>((RandomFraction() - 0.5) * level));
    };
    for (int32_t y = area.bottom; y < area.top; ++y) {
        info.progress = lfcolor::Percent(y, area.top);
        for (int32_t x = area.left; x < area.right; ++x) {
            if (area.masked && !SelectionIsInside(x, y)) continue;
            RGBQUAD c = GetPixelColor(x, y);
            c.rgbRed = shift(c.rgbRed);
            c.rgbGreen = shift(c.rgbGreen);
            c.rgbBlue = shift(c.rgbBlue);
            SetPixelColor(x, y, c, false);
        }
    }
    return true;
}

void CLfImage::Mix(const CLfImage& other, uint32_t operation, uint32_t xOffset, uint32_t yOffset)
{
    if (!dib || !other.dib || operation > 8) return;
    const uint32_t ow = static_cast<uint32_t>(other.header.biWidth);
    const uint32_t oh = static_cast<uint32_t>(other.header.biHeight);
    const int32_t w = static_cast<int32_t>(std::min<uint32_t>(header.biWidth, ow - xOffset));
    const int32_t h = static_cast<int32_t>(std::min<uint32_t>(header.biHeight, oh - yOffset));
    const RGBQUAD t = GetTransColor();

    for (int32_t y = 0; y < h; ++y) {
        info.progress = lfcolor::Percent(y, h);
        if (info.escape) break;
        // The partner's coordinates in 64 bits: an offset near 2^32 must land
        // outside the other image, not wrap back into it.
        const int64_t oy = static_cast<int64_t>(y) + yOffset;
        for (int32_t x = 0; x < w; ++x) {
            const int64_t ox = static_cast<int64_t>(x) + xOffset;
            if (ox >= ow || oy >= oh) continue;
            if (!SelectionIsInside(x, y)) continue;
            if (!other.SelectionIsInside(static_cast<int32_t>(ox), static_cast<int32_t>(oy))) continue;
            const RGBQUAD a = GetPixelColor(x, y);
            const RGBQUAD b = other.GetPixelColor(static_cast<int32_t>(ox), static_cast<int32_t>(oy));
            RGBQUAD c = a;
            switch (operation) {
                case 0:
                    c.rgbBlue = lfcolor::ClampInt(a.rgbBlue + b.rgbBlue);
                    c.rgbGreen = lfcolor::ClampInt(a.rgbGreen + b.rgbGreen);
                    c.rgbRed = lfcolor::ClampInt(a.rgbRed + b.rgbRed);
                    break;
                case 1:
                    c.rgbBlue = a.rgbBlue & b.rgbBlue;
                    c.rgbGreen = a.rgbGreen & b.rgbGreen;
                    c.rgbRed = a.rgbRed & b.rgbRed;
                    break;
                case 2:
                    c.rgbBlue = a.rgbBlue ^ b.rgbBlue;
                    c.rgbGreen = a.rgbGreen ^ b.rgbGreen;
                    c.rgbRed = a.rgbRed ^ b.rgbRed;
                    break;
                case 3:
                    c.rgbBlue = a.rgbBlue | b.rgbBlue;
                    c.rgbGreen = a.rgbGreen | b.rgbGreen;
                    c.rgbRed = a.rgbRed | b.rgbRed;
                    break;
                case 4:
                    if (!b.rgbBlue && !b.rgbGreen && !b.rgbRed) c = t;
                    break;
                case 5:
                    if (lfcolor::SameQuad(a, t)) c = b;
                    break;
                case 6:
                    if (!lfcolor::SameQuad(b, t)) c = b;
                    break;
                case 7:
                    c.rgbBlue = lfcolor::ClampInt(a.rgbBlue - b.rgbBlue);
                    c.rgbGreen = lfcolor::ClampInt(a.rgbGreen - b.rgbGreen);
                    c.rgbRed = lfcolor::ClampInt(a.rgbRed - b.rgbRed);
                    break;
                case 8: {
                    if (lfcolor::SameQuad(a, t)) {
                        c = b;
                        break;
                    }
                    const int d = (std::abs(a.rgbRed - t.rgbRed) + std::abs(a.rgbGreen - t.rgbGreen) +
                                   std::abs(a.rgbBlue - t.rgbBlue)) / 3;
                    if (d >= 17) break;
                    auto blend = [d](uint8_t av, uint8_t bv) {
                        return lfcolor::ClampTrunc(av * d / 16.0 + (16 - d) / 16.0 * bv);
                    };
                    c.rgbBlue = blend(a.rgbBlue, b.rgbBlue);
                    c.rgbGreen = blend(a.rgbGreen, b.rgbGreen);
                    c.rgbRed = blend(a.rgbRed, b.rgbRed);
                    break;
                }
            }
            SetPixelColor(x, y, c, false);
        }
    }
}
