#pragma once
// The colour chooser's hue/saturation/brightness form: hue 0..359 degrees, saturation
// and brightness 0..255, all whole numbers.

struct HsbColor {
    int hue = 0;
    int saturation = 0;
    int brightness = 0;
};

struct RgbColor {
    int red = 0;
    int green = 0;
    int blue = 0;
};

HsbColor HsbFromRgb(RgbColor rgb);
RgbColor RgbFromHsb(HsbColor hsb);
