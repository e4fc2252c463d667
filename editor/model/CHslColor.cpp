#include "editor/model/CHslColor.h"

#include <algorithm>

CHslColor::CHslColor(COLORREF color) { SetColorRef(color); }

void CHslColor::SetRgb(uint8_t red, uint8_t green, uint8_t blue)
{
    m_red = red;
    m_green = green;
    m_blue = blue;
    m_rgbValid = true;
    m_hslValid = false;
}

void CHslColor::SetColorRef(COLORREF color) { SetRgb(GetRValue(color), GetGValue(color), GetBValue(color)); }
void CHslColor::SetRed(uint8_t red) { UpdateRgb(); SetRgb(red, m_green, m_blue); }
void CHslColor::SetGreen(uint8_t green) { UpdateRgb(); SetRgb(m_red, green, m_blue); }
void CHslColor::SetBlue(uint8_t blue) { UpdateRgb(); SetRgb(m_red, m_green, blue); }
COLORREF CHslColor::GetColorRef() { UpdateRgb(); return RGB(m_red, m_green, m_blue); }
uint8_t CHslColor::GetRed() { UpdateRgb(); return m_red; }
uint8_t CHslColor::GetGreen() { UpdateRgb(); return m_green; }
uint8_t CHslColor::GetBlue() { UpdateRgb(); return m_blue; }

void CHslColor::SetHsl(float hue, float saturation, float lightness)
{
    m_hue = hue;
    m_saturation = saturation;
    m_lightness = lightness;
    m_hslValid = true;
    m_rgbValid = false;
}

void CHslColor::SetHue(float hue) { UpdateHsl(); SetHsl(hue, m_saturation, m_lightness); }
void CHslColor::SetSaturation(float saturation) { UpdateHsl(); SetHsl(m_hue, saturation, m_lightness); }
void CHslColor::SetLightness(float lightness) { UpdateHsl(); SetHsl(m_hue, m_saturation, lightness); }
float CHslColor::GetHue() { UpdateHsl(); return m_hue; }
float CHslColor::GetSaturation() { UpdateHsl(); return m_saturation; }
float CHslColor::GetLightness() { UpdateHsl(); return m_lightness; }

void CHslColor::UpdateHsl()
{
    if (m_hslValid)
        return;
    const float r = m_red, g = m_green, b = m_blue;
    const float max = std::max({r, g, b});
    const float min = std::min({r, g, b});
    m_lightness = (max + min) / 510.0f;
    if (max == min) {
        m_hue = 0.0f;
        m_saturation = 0.0f;
    } else {
        const float delta = max - min;
        m_saturation = m_lightness <= 0.5f ? delta / (max + min) : delta / (510.0f - max - min);
        // The later test wins on ties.
        if (r == max)
            m_hue = 60.0f * (6.0f + (g - b) / delta);
        if (g == max)
            m_hue = 60.0f * (2.0f + (b - r) / delta);
        if (b == max)
            m_hue = 60.0f * (4.0f + (r - g) / delta);
        if (m_hue > 360.0f)
            m_hue -= 360.0f;
    }
    m_hslValid = true;
}

namespace {

uint8_t HueValue(float m1, float m2, float h)
{
    if (h > 360.0f)
        h -= 360.0f;
    else if (h < 0.0f)
        h += 360.0f;
    float x = m1;
    if (h < 60.0f)
        x = m1 + (m2 - m1) * h / 60.0f;
    else if (h < 180.0f)
        x = m2;
    else if (h < 240.0f)
        x = m1 + (m2 - m1) * (240.0f - h) / 60.0f;
    return static_cast<uint8_t>(std::clamp(255.0f * x, 0.0f, 255.0f));
}

}  // namespace

void CHslColor::UpdateRgb()
{
    if (m_rgbValid)
        return;
    if (m_saturation == 0.0f) {
        m_red = m_green = m_blue = static_cast<uint8_t>(std::clamp(m_lightness * 255.0f, 0.0f, 255.0f));
    } else {
        const float m2 = m_lightness <= 0.5f ? m_lightness * (1.0f + m_saturation)
                                             : m_lightness + m_saturation - m_lightness * m_saturation;
        const float m1 = 2.0f * m_lightness - m2;
        m_red = HueValue(m1, m2, m_hue + 120.0f);
        m_green = HueValue(m1, m2, m_hue);
        m_blue = HueValue(m1, m2, m_hue - 120.0f);
    }
    m_rgbValid = true;
}
