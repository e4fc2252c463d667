#include "editor/model/JpegOptions.h"

#include "editor/model/CPixoroState.h"
#include "image/codecs/CLfImageJPG.h"
#include "resources/editor/EditorStrings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

JpegOptions JpegOptions::FromPresets(const CPixoroState& state)
{
    JpegOptions o;
    o.quality = state.m_fJpegQuality > 0 ? state.m_fJpegQuality : 85.0;
    o.saveAsDefault = true;
    if (state.m_nJpegColor == 2 || state.m_nJpegColor <= 0)
        o.vertical = true;
    else
        o.horizontal = true;
    if (state.m_nJpegEncoding == 2 || state.m_nJpegEncoding <= 0)
        o.optimize = true;
    else
        o.progressive = true;
    return o;
}

JpegOptions JpegOptions::ResetAll() { return JpegOptions{}; }

void JpegOptions::SetProgressive(bool on)
{
    progressive = on;
    if (on)
        optimize = false;
}

void JpegOptions::SetOptimize(bool on)
{
    optimize = on;
    if (on)
        progressive = false;
}

void JpegOptions::SetHorizontal(bool on)
{
    horizontal = on;
    if (on)
        vertical = false;
}

void JpegOptions::SetVertical(bool on)
{
    vertical = on;
    if (on)
        horizontal = false;
}

void JpegOptions::StoreAsDefault(CPixoroState& state) const
{
    if (!saveAsDefault)
        return;
    state.m_bJpegSaveSetting = true;
    state.m_fJpegQuality = static_cast<float>(quality);
    if (vertical)
        state.m_nJpegColor = 2;
    if (horizontal)
        state.m_nJpegColor = 1;
    if (optimize)
        state.m_nJpegEncoding = 2;
    if (progressive)
        state.m_nJpegEncoding = 1;
    state.WriteRegStrings({{estr::kJpegSaveSettingValue, "1"},
                           {estr::kJpegQualityValue, std::to_string(static_cast<int>(quality))},
                           {estr::kJpegColorValue, std::to_string(state.m_nJpegColor)},
                           {estr::kJpegEncodingValue, std::to_string(state.m_nJpegEncoding)}});
}

uint8_t JpegOptions::SaveQuality() const
{
    double q = quality > 98 ? 95 : quality;
    q = std::clamp(std::trunc(q), 1.0, 100.0);
    return static_cast<uint8_t>(q);
}

uint32_t JpegOptions::EncoderOptions() const
{
    uint32_t options = kJpegSetSampling;
    if (progressive)
        options |= kJpegProgressive;
    if (optimize)
        options |= kJpegOptimizeCoding;
    if (horizontal)
        options |= kJpegHalveHorizontally;
    if (vertical)
        options |= kJpegHalveVertically;
    return options;
}

std::optional<double> JpegOptions::ParseQuality(const std::string& text, std::string* message)
{
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t')
        ++begin;
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    while (end && (*end == ' ' || *end == '\t'))
        ++end;
    if (end == begin || !end || *end != '\0' || !std::isfinite(value)) {
        if (message)
            *message = "Please enter a number.";
        return std::nullopt;
    }
    if (value < 0 || value > 100) {
        if (message)
            *message = "Please enter a number between 0 and 100.";
        return std::nullopt;
    }
    return value;
}
