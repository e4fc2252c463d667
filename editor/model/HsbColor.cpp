#include "editor/model/HsbColor.h"

#include <algorithm>

HsbColor HsbFromRgb(RgbColor rgb)
{
    const int max = std::max({rgb.red, rgb.green, rgb.blue});
    const int min = std::min({rgb.red, rgb.green, rgb.blue});
    HsbColor hsb;
    hsb.brightness = max;
    if (max == min)
        return hsb;
    const double delta = max - min;
    hsb.saturation = static_cast<int>(delta / max * 255.0);
    double hue;
    if (rgb.red == max)
        hue = 60.0 * ((rgb.green - rgb.blue) / delta);
    else if (rgb.green == max)
        hue = 60.0 * ((rgb.blue - rgb.red) / delta + 2.0);
    else
        hue = 60.0 * ((rgb.red - rgb.green) / delta + 4.0);
    if (hue < 0.0)
        hue += 360.0;
    if (hue == 360.0)
        hue = 0.0;
    hsb.hue = static_cast<int>(hue);
    return hsb;
}

RgbColor RgbFromHsb(HsbColor hsb)
{
    const double v = hsb.brightness;
    const double c = v * hsb.saturation / 255.0;
    const double m = v - c;
    const double d = hsb.hue / 60.0;
    double r, g, b;
    if (hsb.hue <= 60) {
        r = v; g = m + c * d; b = m;
    } else if (hsb.hue < 120) {
        r = m + c * (2.0 - d); g = v; b = m;
    } else if (hsb.hue < 180) {
        r = m; g = v; b = m + c * (d - 2.0);
    } else if (hsb.hue < 240) {
        r = m; g = m + c * (4.0 - d); b = v;
    } else if (hsb.hue <= 300) {
        r = m + c * (d - 4.0); g = m; b = v;
    } else {
        r = v; g = m; b = m + c * (360.0 - hsb.hue) / 60.0;
    }
    return {static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)};
}
