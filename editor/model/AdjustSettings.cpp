#include "editor/model/AdjustSettings.h"

#include "editor/model/AdjustValues.h"
#include "editor/model/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using Mapping = AdjustSettings::Mapping;
using Channel = AdjustSettings::Channel;

constexpr Channel kLevelText{Mapping::Level, 100, 0, 100, 50.0f, false, true};
constexpr Channel kShift{Mapping::Shift, 100, -100, 100, 0.0f, false, false};
constexpr Channel kLevel{Mapping::Level, 100, 0, 100, 0.0f, false, false};
constexpr Channel kAmount{Mapping::Direct, 10, 0, 10, 0.0f, false, false};

std::vector<Channel> ChannelsOf(AdjustKind kind)
{
    switch (kind) {
    case AdjustKind::BrightnessContrast: {
        Channel gamma = kLevelText;
        gamma.start = 20.0f;
        gamma.real = true;
        return {kLevelText, kLevelText, gamma};
    }
    case AdjustKind::RedGreenBlue: return {kShift, kShift, kShift};  // red, blue, green
    case AdjustKind::HueSaturation: return {kLevel, kLevel, kLevel};
    case AdjustKind::Exposure: {
        Channel level = kLevel;
        level.start = 50.0f;
        Channel gamma = level;
        gamma.real = true;
        gamma.throughSlider = true;
        return {level, level, gamma};
    }
    case AdjustKind::Blur:
    case AdjustKind::Sharpen: return {kAmount};
    }
    return {};
}

int Whole(float value) { return static_cast<int>(value); }

}  // namespace

AdjustSettings::AdjustSettings(AdjustKind kind) : m_kind(kind), m_channels(ChannelsOf(kind))
{
    for (const Channel& c : m_channels) {
        m_values.push_back(c.start);
        m_texts.push_back(Format(c.start));
    }
}

std::string AdjustSettings::Format(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", Whole(value));
    return text;
}

float AdjustSettings::FromSlider(size_t i, int position) const
{
    const Channel& c = m_channels[i];
    position = std::clamp(position, 0, c.sliderHigh);
    switch (c.mapping) {
    case Mapping::Level: return static_cast<float>(LevelFromSlider(position));
    case Mapping::Shift: return static_cast<float>(ShiftFromSlider(position));
    case Mapping::Direct: break;
    }
    return static_cast<float>(position);
}

int AdjustSettings::SliderPosition(size_t i) const
{
    const Channel& c = m_channels[i];
    const int value = Whole(m_values[i]);
    switch (c.mapping) {
    case Mapping::Level: return SliderFromLevel(value);
    case Mapping::Shift: return SliderFromShift(value);
    case Mapping::Direct: break;
    }
    return std::clamp(value, 0, c.sliderHigh);
}

void AdjustSettings::SliderMoved(size_t i, int position)
{
    m_values[i] = FromSlider(i, position);
    m_texts[i] = Format(m_values[i]);
}

bool AdjustSettings::TextTyped(size_t i, std::string_view text)
{
    const Channel& c = m_channels[i];
    m_texts[i] = std::string(text);
    std::optional<double> number;
    if (c.real)
        number = ParseBoundedReal(text, c.low, c.high);
    else if (auto whole = ParseBoundedInteger(text, c.low, c.high))
        number = static_cast<double>(*whole);
    if (c.throughSlider) {
        // The slider takes the number and gives it back within its range.
        if (TrimBlanks(text).empty())
            return false;
        const float before = m_values[i];
        m_values[i] = static_cast<float>(number ? std::trunc(*number) : 0.0);
        m_values[i] = FromSlider(i, SliderPosition(i));
        m_texts[i] = Format(m_values[i]);
        return m_values[i] != before;
    }
    // Integer edits: text that is no number keeps the value, and OK refuses it.
    if (!number)
        return false;
    const float before = m_values[i];
    m_values[i] = static_cast<float>(*number);
    const bool pulledBack = c.real ? ParseBoundedReal(text, -1e300, 1e300) != number
                                   : ParseBoundedInteger(text, -2'000'000'000L, 2'000'000'000L) != *number;
    if (pulledBack)
        m_texts[i] = Format(m_values[i]);
    return m_values[i] != before;
}

std::optional<size_t> AdjustSettings::InvalidEdit() const
{
    for (size_t i = 0; i < m_channels.size(); ++i) {
        const Channel& c = m_channels[i];
        if (c.throughSlider)
            continue;
        const bool number = c.real ? ParseBoundedReal(m_texts[i], c.low, c.high).has_value()
                                   : ParseBoundedInteger(m_texts[i], c.low, c.high).has_value();
        if (!number)
            return i;
    }
    return std::nullopt;
}

bool AdjustSettings::Apply(CLfImage& image) const
{
    const auto v = [this](size_t i) { return Whole(m_values[i]); };
    switch (m_kind) {
    case AdjustKind::BrightnessContrast: return ApplyBrightnessContrastGamma(image, v(0), v(1), m_values[2]);
    case AdjustKind::RedGreenBlue: return ApplyShiftRgb(image, v(0), v(2), v(1));
    case AdjustKind::HueSaturation: return ApplyHueSaturation(image, v(0), v(1), v(2));
    case AdjustKind::Exposure: return ApplyExposure(image, v(0), v(1), m_values[2]);
    case AdjustKind::Blur: return ApplyBlur(image, v(0));
    case AdjustKind::Sharpen: return ApplySharpen(image, v(0));
    }
    return false;
}

bool AdjustSettings::ShowsProgress() const
{
    switch (m_kind) {
    case AdjustKind::Sharpen: return false;
    case AdjustKind::HueSaturation:
        return std::any_of(m_values.begin(), m_values.end(), [](float value) { return value > 0.0f; });
    default: return true;
    }
}
