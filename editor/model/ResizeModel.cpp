#include "editor/model/ResizeModel.h"

#include "editor/model/NumberText.h"
#include "resources/editor/DialogStrings.h"

#include <algorithm>

namespace {

// Typed sizes are held within this before the cap; beyond it nothing changes.
constexpr long kTypedBound = 1'000'000L;

int Capped(double size) { return static_cast<int>(std::min(size, static_cast<double>(ResizeModel::kTypingCap))); }

}  // namespace

ResizeModel::ResizeModel(int width, int height)
    : widthText(std::to_string(width)), heightText(std::to_string(height)), m_width(width), m_height(height),
      m_startWidth(width), m_startHeight(height)
{
}

ResizeModel::Focus ResizeModel::PercentageTyped(std::string_view text)
{
    percentageText = std::string(text);
    if (text.empty())
        return Focus::None;
    const long percentage = ParseBoundedNumber(text, -kTypedBound, kTypedBound);
    Focus focus = Focus::None;
    if (percentage >= 1 && percentage <= 200) {
        m_percentage = static_cast<int>(percentage);
        const float factor = static_cast<float>(percentage) / 100.0f;
        m_height = Capped(static_cast<int>(static_cast<float>(m_startHeight) * factor));
        m_width = Capped(static_cast<int>(static_cast<float>(m_startWidth) * factor));
    } else {
        m_width = m_startWidth;
        m_height = m_startHeight;
        m_percentage = 100;
        focus = Focus::Width;
    }
    widthText = std::to_string(m_width);
    heightText = std::to_string(m_height);
    return focus;
}

void ResizeModel::WidthTyped(std::string_view text)
{
    widthText = std::string(text);
    if (text.empty())
        return;
    m_width = Capped(static_cast<double>(ParseBoundedNumber(text, 0, kTypedBound)));
    if (keepAspect && m_startWidth > 0) {
        m_height = Capped(static_cast<int>(static_cast<double>(m_width) / m_startWidth * m_startHeight));
        heightText = std::to_string(m_height);
    }
}

void ResizeModel::HeightTyped(std::string_view text)
{
    heightText = std::string(text);
    if (text.empty())
        return;
    m_height = Capped(static_cast<double>(ParseBoundedNumber(text, 0, kTypedBound)));
    if (keepAspect && m_startHeight > 0) {
        m_width = Capped(static_cast<int>(static_cast<double>(m_height) / m_startHeight * m_startWidth));
        widthText = std::to_string(m_width);
    }
}

ResizeModel::Verdict ResizeModel::Validate()
{
    Verdict verdict;
    if (percentageMode && percentageText.empty()) {
        verdict.message = estr::kInvalidNumber;
        verdict.focus = Focus::Percentage;
        return verdict;
    }
    // When both checks fail the height message is the one shown.
    auto check = [&](bool widthBad, bool heightBad) {
        if (widthBad) {
            verdict.message = estr::kInvalidWidth;
            verdict.focus = Focus::Width;
        }
        if (heightBad) {
            verdict.message = estr::kInvalidHeight;
            verdict.focus = Focus::Height;
        }
        return widthBad || heightBad;
    };
    if (check(widthText.empty(), heightText.empty()))
        return verdict;
    const long width = ParseBoundedNumber(widthText, -kTypedBound, kTypedBound);
    const long height = ParseBoundedNumber(heightText, -kTypedBound, kTypedBound);
    if (check(width < 1 || width > kLargest, height < 1 || height > kLargest))
        return verdict;
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    verdict.ok = true;
    return verdict;
}
