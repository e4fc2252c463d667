#include "editor/model/RedEyeModel.h"

#include "image/CLfImage.h"

#include <algorithm>
#include <cmath>

RedEyeBox::RedEyeBox(int imageWidth, int imageHeight)
    : m_side(std::max(1, std::min(imageWidth / 10, imageHeight / 10))), m_centreX(imageWidth / 2),
      m_centreY(imageHeight / 2)
{
}

void RedEyeBox::PickTop(int clickX, int clickY, int drawX, int drawY, float scale)
{
    if (m_zoomStepPending) {
        m_zoomStepPending = false;
        return;
    }
    if (m_firstPickPending) {
        m_firstPickPending = false;
        for (int i = 0; i < 6; ++i)
            m_side = std::max(1, static_cast<int>(m_side * 0.9));
        m_zoomStepPending = true;
    }
    if (scale <= 0.0f)
        return;
    m_centreX = static_cast<int>((clickX - drawX) / scale);
    m_centreY = static_cast<int>((clickY - drawY) / scale);
}

void RedEyeBox::PickZoom(int clickX, int clickY)
{
    const RedEyeRect rect = Rect();
    const double ratio = static_cast<double>(m_side) / kZoomPane;
    m_centreX = rect.left + m_side / 2 + static_cast<int>((clickX - kZoomPane / 2) * ratio);
    m_centreY = rect.top + m_side / 2 + static_cast<int>((clickY - kZoomPane / 2) * ratio);
}

bool RedEyeBox::ZoomIn()
{
    if (m_side < 13)
        return false;
    m_side = static_cast<int>(m_side * 0.9);
    // The zoom's own refresh takes the marker of the first pick, so the next top-pane
    // pick moves the box again.
    m_zoomStepPending = false;
    return true;
}

bool RedEyeBox::ZoomOut()
{
    if (m_side >= 200)
        return false;
    m_side = static_cast<int>(m_side * 1.1);
    m_zoomStepPending = false;
    return true;
}

RedEyeRect RedEyeBox::Rect() const
{
    const int half = m_side / 2;
    return {m_centreX - half, m_centreY - half, m_centreX + half, m_centreY + half};
}

namespace {

constexpr double kWhiteX = 95.047;
constexpr double kWhiteY = 100.0;
constexpr double kWhiteZ = 108.883;

double ToLinear(double c) { return (c > 0.04045 ? std::pow((c + 0.055) / 1.055, 2.4) : c / 12.92) * 100.0; }
double FromLinear(double c) { return c > 0.0031308 ? 1.055 * std::pow(c, 1.0 / 2.4) - 0.055 : 12.92 * c; }
double LabF(double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; }
double LabFInverse(double f)
{
    const double cube = f * f * f;
    return cube > 0.008856 ? cube : (f - 16.0 / 116.0) / 7.787;
}
double Clamp01(double c) { return std::isnan(c) ? 0.0 : std::clamp(c, 0.0, 1.0); }

}  // namespace

std::array<double, 3> RgbToLab(double red, double green, double blue)
{
    const double r = ToLinear(red), g = ToLinear(green), b = ToLinear(blue);
    const double fx = LabF((0.4124 * r + 0.3576 * g + 0.1805 * b) / kWhiteX);
    const double fy = LabF((0.2126 * r + 0.7152 * g + 0.0722 * b) / kWhiteY);
    const double fz = LabF((0.0193 * r + 0.1192 * g + 0.9505 * b) / kWhiteZ);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

std::array<double, 3> LabToRgb(double l, double a, double b)
{
    const double fy = (l + 16.0) / 116.0;
    const double x = LabFInverse(fy + a / 500.0) * kWhiteX / 100.0;
    const double y = LabFInverse(fy) * kWhiteY / 100.0;
    const double z = LabFInverse(fy - b / 200.0) * kWhiteZ / 100.0;
    return {Clamp01(FromLinear(3.2406 * x - 1.5372 * y - 0.4986 * z)),
            Clamp01(FromLinear(-0.9689 * x + 1.8758 * y + 0.0415 * z)),
            Clamp01(FromLinear(0.0557 * x - 0.2040 * y + 1.0570 * z))};
}

double RedEyeWeight(long distanceSquared, double radiusSquared, int red, int green, int blue)
{
    const double v = (green + blue) / (red + 0.001);
    if (radiusSquared <= 0.0 || distanceSquared > radiusSquared || v > 2.0)
        return 1.0;
    return 1.0 - std::exp(-static_cast<double>(distanceSquared) / radiusSquared - v / 2.85);
}

bool FixRedEye(CLfImage& image, const RedEyeRect& box)
{
    if (!image.IsValid())
        return false;
    if (image.GetBpp() < 24 && !image.IncreaseBpp(24))
        return false;
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    const double half = (box.bottom - box.top) / 2.0;
    const double radiusSquared = half * half;
    for (int y = std::max(box.top, 0); y < std::min(box.bottom, height); ++y) {
        for (int x = std::max(box.left, 0); x < std::min(box.right, width); ++x) {
            const long d2 = static_cast<long>(x - cx) * (x - cx) + static_cast<long>(y - cy) * (y - cy);
            const int libraryRow = height - 1 - y;
            RGBQUAD pixel = image.GetPixelColor(x, libraryRow);
            const double w = RedEyeWeight(d2, radiusSquared, pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue);
            // A pixel that keeps its colour is not rewritten, so the conversion's
            // rounding cannot shift it.
            if (w >= 1.0)
                continue;
            const auto lab = RgbToLab(pixel.rgbRed / 255.0, pixel.rgbGreen / 255.0, pixel.rgbBlue / 255.0);
            const auto rgb = LabToRgb(lab[0], lab[1] * w, lab[2] * w);
            pixel.rgbRed = static_cast<uint8_t>(rgb[0] * 255.0);
            pixel.rgbGreen = static_cast<uint8_t>(rgb[1] * 255.0);
            pixel.rgbBlue = static_cast<uint8_t>(rgb[2] * 255.0);
            image.SetPixelColor(x, libraryRow, pixel);
        }
    }
    return true;
}
