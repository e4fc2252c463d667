#pragma once
// The values of the colour dialogs: how slider positions map to values and values to
// the image operations' arguments, and the operations themselves, free of windows.

#include <cstdint>
#include <vector>

class CLfImage;

// Vertical sliders of 0..100 with the minimum at the top: value = 100 - position.
int LevelFromSlider(int position);
int SliderFromLevel(int level);  // clamped to 0..100
// The red/green/blue sliders: value = (50 - position) x 2, position = 50 - value / 2.
int ShiftFromSlider(int position);
int SliderFromShift(int shift);  // clamped to 0..100

struct BrightnessArgs {
    int32_t brightness = 0;  // -250..250
    int32_t contrast = 0;    // -100..100
    float gamma = 1.0f;
};
// brightness x 5 - 250, contrast x 2 - 100, gamma / 20 (0 gives 0.1).
BrightnessArgs BrightnessArgsFor(int brightness, int contrast, float gamma);
bool ApplyBrightnessContrastGamma(CLfImage& image, int brightness, int contrast, float gamma);

// x 2.5, truncated toward zero.
int32_t ShiftArgFor(int value);
bool ApplyShiftRgb(CLfImage& image, int red, int green, int blue);

// Hue, saturation and lightness 0..100; all 0 leaves the image as it is.
uint8_t HueByteFor(int hue);
uint8_t SaturationByteFor(int saturation);
bool ApplyHueSaturation(CLfImage& image, int hue, int saturation, int lightness);

// Lighten and darken 0..100 (50 each changes nothing); gamma 0..100 where 50 is 1.0
// and 0 gives 0.1.
float ExposureGammaFor(float gamma);
bool ApplyExposure(CLfImage& image, int lighten, int darken, float gamma);

// Amount 0..10. Blur: 2a + 1 taps of 1 with a + 1 in the middle; amount 0 does nothing.
std::vector<int32_t> BlurKernel(int amount);
bool ApplyBlur(CLfImage& image, int amount);
// Sharpen: 3 x 3 cross with 35 - 3a in the middle, -1 on the arms; divisor = the sum.
std::vector<int32_t> SharpenKernel(int amount);
bool ApplySharpen(CLfImage& image, int amount);

// The flip dialog's last choice: 0 none, 1 flip top to bottom, 2 mirror left to right.
bool ApplyFlipKind(CLfImage& image, int kind);

// The canvas dialog: a smaller size keeps the centre of the image, a larger one centres
// the image on a white canvas of that size.
bool ApplyCanvasSize(CLfImage& image, int newWidth, int newHeight);
