#include "editor/model/AdjustValues.h"

#include "image/CLfImage.h"

#include <algorithm>
#include <numeric>

int LevelFromSlider(int position) { return 100 - position; }
int SliderFromLevel(int level) { return std::clamp(100 - level, 0, 100); }
int ShiftFromSlider(int position) { return (50 - position) * 2; }
int SliderFromShift(int shift) { return std::clamp(50 - shift / 2, 0, 100); }

BrightnessArgs BrightnessArgsFor(int brightness, int contrast, float gamma)
{
    BrightnessArgs args;
    args.brightness = brightness * 5 - 250;
    args.contrast = contrast * 2 - 100;
    args.gamma = gamma == 0.0f ? 0.1f : static_cast<float>(static_cast<double>(gamma) / 20.0);
    return args;
}

bool ApplyBrightnessContrastGamma(CLfImage& image, int brightness, int contrast, float gamma)
{
    const BrightnessArgs args = BrightnessArgsFor(brightness, contrast, gamma);
    const bool adjusted = image.BrightnessContrast(args.brightness, args.contrast);
    return image.Gamma(args.gamma) && adjusted;
}

int32_t ShiftArgFor(int value) { return static_cast<int32_t>(value * 2.5); }

bool ApplyShiftRgb(CLfImage& image, int red, int green, int blue)
{
    return image.ShiftRGB(ShiftArgFor(red), ShiftArgFor(green), ShiftArgFor(blue));
}

uint8_t HueByteFor(int hue) { return static_cast<uint8_t>((hue + 6) * 2); }
uint8_t SaturationByteFor(int saturation) { return static_cast<uint8_t>((saturation + 25) * 2); }

bool ApplyHueSaturation(CLfImage& image, int hue, int saturation, int lightness)
{
    if (hue <= 0 && saturation <= 0 && lightness <= 0)
        return true;
    const bool coloured = image.Colorize(HueByteFor(hue), SaturationByteFor(saturation));
    return image.BrightnessContrast(lightness, 0) && coloured;
}

float ExposureGammaFor(float gamma)
{
    return gamma == 0.0f ? 0.1f : static_cast<float>(static_cast<double>(gamma) / 50.0);
}

bool ApplyExposure(CLfImage& image, int lighten, int darken, float gamma)
{
    bool done = true;
    if (lighten != darken)
        done = image.BrightnessContrast((lighten - darken) * 2, 0);
    const float g = ExposureGammaFor(gamma);
    if (g != 1.0f)
        done = image.Gamma(g) && done;
    return done;
}

std::vector<int32_t> BlurKernel(int amount)
{
    const int a = std::clamp(amount, 0, 10);
    std::vector<int32_t> kernel(static_cast<size_t>(2 * a + 1), 1);
    kernel[static_cast<size_t>(a)] = a + 1;
    return kernel;
}

bool ApplyBlur(CLfImage& image, int amount)
{
    if (amount <= 0)
        return true;
    const std::vector<int32_t> kernel = BlurKernel(amount);
    const int32_t divisor = std::accumulate(kernel.begin(), kernel.end(), 0);
    return image.FilterSeparable(kernel.data(), static_cast<int32_t>(kernel.size()), divisor, 0);
}

std::vector<int32_t> SharpenKernel(int amount)
{
    const int a = std::clamp(amount, 0, 10);
    return {0, -1, 0, -1, 35 - 3 * a, -1, 0, -1, 0};
}

bool ApplySharpen(CLfImage& image, int amount)
{
    const std::vector<int32_t> kernel = SharpenKernel(amount);
    const int32_t divisor = std::accumulate(kernel.begin(), kernel.end(), 0);
    return image.Filter(kernel.data(), 3, divisor, 0);
}

bool ApplyFlipKind(CLfImage& image, int kind)
{
    if (kind == 1)
        return image.Flip();
    if (kind == 2)
        return image.Mirror();
    return true;
}

bool ApplyCanvasSize(CLfImage& image, int newWidth, int newHeight)
{
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    if (newWidth < 1 || newHeight < 1 || width < 1 || height < 1)
        return false;
    if (newWidth < width || newHeight < height) {
        const int cutWidth = std::min(newWidth, width);
        const int cutHeight = std::min(newHeight, height);
        const int left = (width - cutWidth) / 2;
        const int top = (height - cutHeight) / 2;
        if (!image.Crop(left, top, left + cutWidth, top + cutHeight))
            return false;
    }
    if (newWidth > image.GetWidth() || newHeight > image.GetHeight()) {
        RGBQUAD white{};
        white.rgbRed = white.rgbGreen = white.rgbBlue = 255;
        return image.Expand(std::max(newWidth, image.GetWidth()), std::max(newHeight, image.GetHeight()), white);
    }
    return true;
}
