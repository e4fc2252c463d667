#include "graphictext/model/GraphicTextSettings.h"

#include <cstdlib>

std::vector<std::string> GraphicTextSettings::CutTextLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t p = 0;
    while (p < text.size()) {
        const size_t i = text.find('\n', p);
        if (i == std::string::npos) {
            lines.push_back(text.substr(p));
            break;
        }
        size_t end = i;
        if (end > p && text[end - 1] == '\r')
            --end;
        lines.push_back(text.substr(p, end - p));
        p = i + 1;
    }
    return lines;
}

int GraphicTextSettings::LeadingInt(const std::string& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > 1000000)
        return 1000000;
    if (value < -1000000)
        return -1000000;
    return static_cast<int>(value);
}

double GraphicTextSettings::LeadingReal(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

double GraphicTextSettings::FontHeight(double reference)
{
    double h = LeadingReal(heightText);
    if (unit == "Percent") {
        if (h > 25) {
            heightText = "25";
            h = 25;
        }
        return h * reference / 100;
    }
    return h;
}

RGBQUAD BlendColor(COLORREF text, RGBQUAD pixel, int visibility, BlendRule rule)
{
    long double v = 0;
    long double rest = 0;
    if (rule == BlendRule::Manager) {
        constexpr float kPercent = 0.01f;  // 0.0099999998: full visibility is just short of 1
        v = static_cast<long double>(visibility) * static_cast<long double>(kPercent);
        rest = 1.0L - v;
    } else {
        const float fv = static_cast<float>(visibility) / 100.0f;
        const float frest = 1.0f - fv;
        v = fv;
        rest = frest;
    }
    auto channel = [&](uint8_t a, uint8_t b) {
        const long double value = a * v + b * rest;
        if (value <= 0)
            return uint8_t{0};
        if (value >= 255)
            return uint8_t{255};
        return static_cast<uint8_t>(value);
    };
    RGBQUAD out;
    out.rgbRed = channel(GetRValue(text), pixel.rgbRed);
    out.rgbGreen = channel(GetGValue(text), pixel.rgbGreen);
    out.rgbBlue = channel(GetBValue(text), pixel.rgbBlue);
    out.rgbReserved = 0;
    return out;
}
