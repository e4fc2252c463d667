// Colour-space conversions of single colours, splitting an image into grey channel
// images and combining channel images back into a true-colour image.

#include "image/CLfImage.h"
#include "image/ops/LfColorMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

using lfcolor::ClampTrunc;

namespace {

RGBQUAD Quad(uint8_t first, uint8_t second, uint8_t third)
{
    RGBQUAD q;
    q.rgbRed = first;
    q.rgbGreen = second;
    q.rgbBlue = third;
    return q;
}

// Coefficients are single-precision constants; the arithmetic runs in double.
constexpr double F(float v) { return static_cast<double>(v); }

}  // namespace

RGBQUAD CLfImage::RGBtoHSL(RGBQUAD colour)
{
    const int r = colour.rgbRed, g = colour.rgbGreen, b = colour.rgbBlue;
    const int cMax = std::max(std::max(r, g), b);
    const int cMin = std::min(std::min(r, g), b);
    const int l = ((cMax + cMin) * 255 + 255) / 510;
    if (cMax == cMin) return Quad(170, 0, static_cast<uint8_t>(l));

    const int diff = cMax - cMin;
    const int d = l <= 127 ? cMax + cMin : 510 - cMax - cMin;
    const int s = (diff * 255 + d / 2) / d;
    const int dr = ((cMax - r) * 42 + diff / 2) / diff;
    const int dg = ((cMax - g) * 42 + diff / 2) / diff;
    const int db = ((cMax - b) * 42 + diff / 2) / diff;
    int h;
    if (r == cMax)
        h = db - dg;
    else if (g == cMax)
        h = 85 + dr - db;
    else
        h = 170 + dg - dr;
    // Hue lives on a circle of 256 steps: a negative value wraps.
    return Quad(static_cast<uint8_t>(h & 0xFF), static_cast<uint8_t>(s), static_cast<uint8_t>(l));
}

float CLfImage::HueToRGB(float m1, float m2, float hue)
{
    double h = hue;
    if (h > 360.0)
        h -= 360.0;
    else if (h < 0.0)
        h += 360.0;
    if (h < 60.0) return static_cast<float>(m1 + (F(m2) - m1) * h * F(0.016666668f));
    if (h < 180.0) return m2;
    if (h < 240.0) return static_cast<float>(m1 + (F(m2) - m1) * (240.0 - h) * F(0.016666668f));
    return m1;
}

RGBQUAD CLfImage::HSLtoRGB(RGBQUAD hsl)
{
    const float h = static_cast<float>(hsl.rgbRed * F(1.4117647f));
    const float s = static_cast<float>(hsl.rgbGreen * F(0.003921569f));
    const float l = static_cast<float>(hsl.rgbBlue * F(0.003921569f));
    if (s == 0.0f) {
        const uint8_t v = ClampTrunc(F(l) * 255.0);
        return Quad(v, v, v);
    }
    const float m2 = l > 0.5f ? static_cast<float>(F(l) + s - F(l) * s) : static_cast<float>(F(l) * (1.0 + s));
    const float m1 = static_cast<float>(2.0 * l - m2);
    return Quad(ClampTrunc(255.0 * HueToRGB(m1, m2, static_cast<float>(F(h) + 120.0))),
                ClampTrunc(255.0 * HueToRGB(m1, m2, h)),
                ClampTrunc(255.0 * HueToRGB(m1, m2, static_cast<float>(F(h) - 120.0))));
}

RGBQUAD CLfImage::HSLtoRGB(COLORREF hsl) { return HSLtoRGB(RGBtoRGBQUAD(hsl)); }

RGBQUAD CLfImage::RGBtoYUV(RGBQUAD c)
{
    const int y = ClampTrunc(F(0.114f) * c.rgbBlue + F(0.587f) * c.rgbGreen + F(0.299f) * c.rgbRed);
    const uint8_t u = ClampTrunc((c.rgbBlue - y) * F(0.565f) + 128.0);
    const uint8_t v = ClampTrunc((c.rgbRed - y) * F(0.713f) + 128.0);
    return Quad(static_cast<uint8_t>(y), u, v);
}

RGBQUAD CLfImage::YUVtoRGB(RGBQUAD yuv)
{
    const double y = yuv.rgbRed;
    const double u = yuv.rgbGreen - 128;
    const double v = yuv.rgbBlue - 128;
    return Quad(ClampTrunc(y + F(1.403f) * v),
                ClampTrunc(y - F(0.344f) * u - F(0.714f) * v),
                ClampTrunc(y + F(1.770f) * u));
}

RGBQUAD CLfImage::RGBtoYIQ(RGBQUAD c)
{
    const double r = c.rgbRed, g = c.rgbGreen, b = c.rgbBlue;
    return Quad(ClampTrunc(F(0.2992f) * r + F(0.5868f) * g + F(0.114f) * b),
                ClampTrunc(F(0.596f) * r - F(0.2742f) * g - F(0.3219f) * b + 128.0),
                ClampTrunc(F(0.2109f) * r - F(0.5229f) * g + F(0.312f) * b + 128.0));
}

RGBQUAD CLfImage::YIQtoRGB(RGBQUAD yiq)
{
    const double y = yiq.rgbRed;
    const double i = yiq.rgbGreen - 128;
    const double q = yiq.rgbBlue - 128;
    return Quad(ClampTrunc(y + F(0.956f) * i + F(0.621f) * q),
                ClampTrunc(y - F(0.273f) * i - F(0.647f) * q),
                ClampTrunc(y - F(1.104f) * i + F(1.701f) * q));
}

RGBQUAD CLfImage::RGBtoXYZ(RGBQUAD c)
{
    const double r = c.rgbRed, g = c.rgbGreen, b = c.rgbBlue;
    return Quad(ClampTrunc(F(0.412453f) * r + F(0.35758f) * g + F(0.180423f) * b),
                ClampTrunc(F(0.212671f) * r + F(0.71516f) * g + F(0.072169f) * b),
                ClampTrunc((F(0.019334f) * r + F(0.119193f) * g + F(0.950227f) * b) * F(0.9184837f)));
}

RGBQUAD CLfImage::XYZtoRGB(RGBQUAD xyz)
{
    const double x = xyz.rgbRed, y = xyz.rgbGreen, z = xyz.rgbBlue;
    constexpr double kZ = 1.088751;
    return Quad(ClampTrunc(F(3.240479f) * x - F(1.53715f) * y - F(0.498535f) * kZ * z),
                ClampTrunc(F(-0.969256f) * x + F(1.875992f) * y + F(0.041556f) * kZ * z),
                ClampTrunc(F(0.055648f) * x - F(0.204043f) * y + F(1.057311f) * kZ * z));
}

namespace {

// Builds one 8-bit grey image per given destination from the converted colours of
// the source; the destinations change only when every image was built, so a
// destination may be the source itself.
bool SplitInto(CLfImage& src, RGBQUAD (*convert)(RGBQUAD), CLfImage* const* dest, int count)
{
    if (!src.dib) return false;
    bool any = false;
    for (int i = 0; i < count; ++i) any = any || dest[i];
    if (!any) return false;

    const int32_t w = src.header.biWidth, h = src.header.biHeight;
    std::array<std::unique_ptr<CLfImage>, 4> parts;
    for (int i = 0; i < count; ++i) {
        if (!dest[i]) continue;
        parts[i] = std::make_unique<CLfImage>(0);
        if (!parts[i]->Create(w, h, 8, 0)) {
            src.SetLastError(parts[i]->GetLastError());
            return false;
        }
    }
    for (int32_t y = 0; y < h; ++y) {
        std::array<uint8_t*, 4> rows{};
        for (int i = 0; i < count; ++i)
            if (dest[i]) rows[i] = parts[i]->GetBits(y);
        for (int32_t x = 0; x < w; ++x) {
            const RGBQUAD c = src.GetPixelColor(x, y);
            const RGBQUAD v = convert ? convert(c) : c;
            const uint8_t values[4] = {v.rgbRed, v.rgbGreen, v.rgbBlue, lfcolor::Luminance(c)};
            for (int i = 0; i < count; ++i)
                if (rows[i]) rows[i][x] = values[i];
        }
    }
    for (int i = 0; i < count; ++i) {
        if (!dest[i]) continue;
        parts[i]->SetGrayPalette();
        dest[i]->Transfer(*parts[i]);
    }
    return true;
}

}  // namespace

bool CLfImage::SplitRGB(CLfImage* r, CLfImage* g, CLfImage* b)
{
    CLfImage* dest[] = {r, g, b};
    return SplitInto(*this, nullptr, dest, 3);
}

bool CLfImage::SplitYUV(CLfImage* y, CLfImage* u, CLfImage* v)
{
    CLfImage* dest[] = {y, u, v};
    return SplitInto(*this, &RGBtoYUV, dest, 3);
}

bool CLfImage::SplitYIQ(CLfImage* y, CLfImage* i, CLfImage* q)
{
    CLfImage* dest[] = {y, i, q};
    return SplitInto(*this, &RGBtoYIQ, dest, 3);
}

bool CLfImage::SplitXYZ(CLfImage* x, CLfImage* y, CLfImage* z)
{
    CLfImage* dest[] = {x, y, z};
    return SplitInto(*this, &RGBtoXYZ, dest, 3);
}

bool CLfImage::SplitHSL(CLfImage* h, CLfImage* s, CLfImage* l)
{
    CLfImage* dest[] = {h, s, l};
    return SplitInto(*this, &RGBtoHSL, dest, 3);
}

namespace {

// Cyan, magenta and yellow are the inverted channels; the fourth value (black) is
// the luminance, which SplitInto supplies itself.
RGBQUAD InvertedRGB(RGBQUAD c)
{
    return Quad(static_cast<uint8_t>(255 - c.rgbRed), static_cast<uint8_t>(255 - c.rgbGreen),
                static_cast<uint8_t>(255 - c.rgbBlue));
}

// Reads one channel image at the pixel grid of the combined image: by nearest
// pixel when its size differs (as a nearest-pixel resample to that size would),
// without touching the caller's image. Palette images give their index; a
// true-colour channel gives its grey level, as a grey conversion would.
class ChannelReader {
public:
    ChannelReader(const CLfImage* image, int32_t width, int32_t height) : m_image(image)
    {
        if (!image) return;
        m_w = image->header.biWidth;
        m_h = image->header.biHeight;
        m_scaled = m_w != width || m_h != height;
        m_xScale = static_cast<float>(m_w) / static_cast<float>(width);
        m_yScale = static_cast<float>(m_h) / static_cast<float>(height);
        m_trueColour = image->header.biClrUsed == 0;
    }

    explicit operator bool() const { return m_image && m_image->dib; }

    uint8_t At(int32_t x, int32_t y) const
    {
        if (m_scaled) {
            x = static_cast<int32_t>(static_cast<float>(x) * m_xScale);
            y = static_cast<int32_t>(static_cast<float>(y) * m_yScale);
        }
        if (m_trueColour) return lfcolor::Luminance(m_image->GetPixelColor(x, y));
        return m_image->GetPixelIndex(x, y);
    }

private:
    const CLfImage* m_image = nullptr;
    int32_t m_w = 0, m_h = 0;
    bool m_scaled = false, m_trueColour = false;
    float m_xScale = 1.0f, m_yScale = 1.0f;
};

}  // namespace

bool CLfImage::SplitCMYK(CLfImage* c, CLfImage* m, CLfImage* y, CLfImage* k)
{
    CLfImage* dest[] = {c, m, y, k};
    return SplitInto(*this, &InvertedRGB, dest, 4);
}

bool CLfImage::Combine(const CLfImage* first, const CLfImage* second, const CLfImage* third,
                       const CLfImage* alphaImage, int32_t space)
{
    if (!first || !second || !third || !first->dib) return false;
    const int32_t w = first->header.biWidth, h = first->header.biHeight;
    const ChannelReader c1(first, w, h), c2(second, w, h), c3(third, w, h), ca(alphaImage, w, h);
    if (!c2 || !c3) return false;

    // Built aside and moved in at the end: any channel may be this image.
    CLfImage result(0);
    result.CopyInfo(*this);
    result.header.biXPelsPerMeter = header.biXPelsPerMeter;
    result.header.biYPelsPerMeter = header.biYPelsPerMeter;
    if (!result.Create(w, h, 24, 0)) {
        SetLastError(result.GetLastError());
        return false;
    }
    if (ca) {
        result.AlphaCreate();
        if (!result.alpha) return false;
    }
    for (int32_t y = 0; y < h; ++y) {
        info.progress = static_cast<int32_t>(static_cast<int64_t>(y) * 100 / h);
        uint8_t* row = result.GetBits(y);
        for (int32_t x = 0; x < w; ++x) {
            const RGBQUAD rgb = lfcolor::SpaceToRGB(Quad(c1.At(x, y), c2.At(x, y), c3.At(x, y)), space);
            row[3 * x] = rgb.rgbBlue;
            row[3 * x + 1] = rgb.rgbGreen;
            row[3 * x + 2] = rgb.rgbRed;
            if (ca) result.alpha[static_cast<size_t>(y) * w + x] = ca.At(x, y);
        }
    }
    Transfer(result);
    return true;
}

void CLfImage::HuePalette(float correction)
{
    const uint32_t n = dib ? header.biClrUsed : 0;
    if (n < 2) return;
    const uint32_t q = 255 / (n - 1);
    for (uint32_t i = 0; i < n; ++i) {
        // Only the low 8 bits of the truncated product matter; fmod keeps huge or
        // odd corrections away from an undefined float-to-int conversion.
        double t = std::trunc(static_cast<double>(q) * i * correction);
        t = std::isfinite(t) ? std::fmod(t, 256.0) : 0.0;
        if (t < 0) t += 256.0;
        const RGBQUAD hsl = Quad(static_cast<uint8_t>(t), 240, 120);
        SetPaletteColor(static_cast<uint8_t>(i), HSLtoRGB(hsl));
    }
}
