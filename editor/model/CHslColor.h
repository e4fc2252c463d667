#pragma once
// One colour kept as red/green/blue bytes and as hue/saturation/lightness, each form
// recomputed from the other only when read while out of date.

#include "platform/WinTypes.h"

#include <cstdint>

class CHslColor {
public:
    explicit CHslColor(COLORREF color = 0);

    void SetRgb(uint8_t red, uint8_t green, uint8_t blue);
    void SetColorRef(COLORREF color);
    void SetRed(uint8_t red);
    void SetGreen(uint8_t green);
    void SetBlue(uint8_t blue);
    COLORREF GetColorRef();
    uint8_t GetRed();
    uint8_t GetGreen();
    uint8_t GetBlue();

    // Hue in degrees 0..360, saturation and lightness 0..1.
    void SetHsl(float hue, float saturation, float lightness);
    void SetHue(float hue);
    void SetSaturation(float saturation);
    void SetLightness(float lightness);
    float GetHue();
    float GetSaturation();
    float GetLightness();

private:
    void UpdateHsl();
    void UpdateRgb();

    uint8_t m_red = 0;
    uint8_t m_green = 0;
    uint8_t m_blue = 0;
    float m_hue = 0.0f;
    float m_saturation = 0.0f;
    float m_lightness = 0.0f;
    bool m_rgbValid = true;
    bool m_hslValid = false;
};
