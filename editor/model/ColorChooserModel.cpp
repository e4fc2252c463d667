#include "editor/model/ColorChooserModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358;

}  // namespace

ColorChooserModel::ColorChooserModel(COLORREF initial)
    : m_old(initial), m_rgb{GetRValue(initial), GetGValue(initial), GetBValue(initial)}
{
    FromRgb();
}

int ColorChooserModel::Get(Field field) const
{
    switch (field) {
    case Field::Red: return m_rgb.red;
    case Field::Green: return m_rgb.green;
    case Field::Blue: return m_rgb.blue;
    case Field::Hue: return m_hsb.hue;
    case Field::Saturation: return m_hsb.saturation;
    case Field::Brightness: return m_hsb.brightness;
    }
    return 0;
}

bool ColorChooserModel::Set(Field field, long value)
{
    const int v = static_cast<int>(std::clamp(value, 0L, field == Field::Hue ? 359L : 255L));
    if (Get(field) == v)
        return false;
    switch (field) {
    case Field::Red: m_rgb.red = v; break;
    case Field::Green: m_rgb.green = v; break;
    case Field::Blue: m_rgb.blue = v; break;
    case Field::Hue: m_hsb.hue = v; break;
    case Field::Saturation: m_hsb.saturation = v; break;
    case Field::Brightness: m_hsb.brightness = v; break;
    }
    if (field == Field::Red || field == Field::Green || field == Field::Blue)
        FromRgb();
    else
        FromHsb();
    return true;
}

void ColorChooserModel::DragWheel(POINT point)
{
    const double dx = point.x - kWheelCentre.x;
    const double dy = kWheelCentre.y - point.y;  // counter-clockwise from the right
    int hue = static_cast<int>(std::atan2(dy, dx) * 180.0 / kPi);
    if (hue < 0)
        hue += 360;
    m_hsb.hue = std::min(hue, 359);
    m_hsb.saturation = std::min(255, static_cast<int>(std::sqrt(dx * dx + dy * dy) * 255.0 / kWheelRadius));
    FromHsb();
}

void ColorChooserModel::DragBar(int y)
{
    m_hsb.brightness = std::clamp(static_cast<int>(static_cast<double>(kWheelHeight - y) * 255.0 / kWheelHeight), 0, 255);
    FromHsb();
}

void ColorChooserModel::DragHandle(int channel, POINT point)
{
    if (channel < 0 || channel > 2)
        return;
    // The point's projection on the axis, between the centre and the end.
    const double ax = kAxisEnds[channel].x - kAxisCentre.x, ay = kAxisEnds[channel].y - kAxisCentre.y;
    const double length2 = ax * ax + ay * ay;
    const double t = std::clamp(((point.x - kAxisCentre.x) * ax + (point.y - kAxisCentre.y) * ay) / length2, 0.0, 1.0);
    const int value = static_cast<int>(t * 255.0);
    int* channels[] = {&m_rgb.red, &m_rgb.green, &m_rgb.blue};
    *channels[channel] = value;
    FromRgb();
}

POINT ColorChooserModel::WheelMarker() const
{
    const double angle = m_hsb.hue * kPi / 180.0;
    const double distance = m_hsb.saturation * static_cast<double>(kWheelRadius) / 255.0;
    return {kWheelCentre.x + static_cast<int>(std::cos(angle) * distance),
            kWheelCentre.y - static_cast<int>(std::sin(angle) * distance)};
}

int ColorChooserModel::BarMarkerY() const
{
    return kWheelHeight - static_cast<int>(m_hsb.brightness / 255.0 * kWheelHeight);
}

POINT ColorChooserModel::AxisPoint(int channel, int value)
{
    const POINT end = kAxisEnds[std::clamp(channel, 0, 2)];
    const double t = std::clamp(value, 0, 255) / 255.0;
    return {kAxisCentre.x + static_cast<int>((end.x - kAxisCentre.x) * t),
            kAxisCentre.y + static_cast<int>((end.y - kAxisCentre.y) * t)};
}

POINT ColorChooserModel::HandlePoint(int channel) const
{
    const int values[] = {m_rgb.red, m_rgb.green, m_rgb.blue};
    return AxisPoint(channel, values[std::clamp(channel, 0, 2)]);
}

bool ColorChooserModel::InWheel(POINT point)
{
    const long dx = point.x - kWheelCentre.x, dy = point.y - kWheelCentre.y;
    return dx * dx + dy * dy <= static_cast<long>(kWheelRadius) * kWheelRadius;
}

bool ColorChooserModel::InBar(POINT point)
{
    return point.x >= kBarLeft && point.x < kBarLeft + kBarWidth && point.y >= 0 && point.y < kWheelHeight;
}

int ColorChooserModel::HandleAt(POINT point) const
{
    for (int channel = 0; channel < 3; ++channel) {
        const POINT h = HandlePoint(channel);
        if (point.x >= h.x - 5 && point.x < h.x + 5 && point.y >= h.y - 5 && point.y < h.y + 5)
            return channel;
    }
    return -1;
}

std::vector<COLORREF> ColorChooserModel::BarColours() const
{
    std::vector<COLORREF> colours;
    for (int k = 0; k < kWheelHeight; ++k) {
        const RgbColor c = RgbFromHsb({m_hsb.hue, m_hsb.saturation, (kWheelHeight - 1 - k) * 255 / kWheelHeight});
        colours.push_back(RGB(static_cast<uint8_t>(c.red), static_cast<uint8_t>(c.green), static_cast<uint8_t>(c.blue)));
    }
    return colours;
}
