#pragma once
// The resize dialog's rules, free of windows: the size chosen by percentage or by
// pixels (optionally keeping the aspect ratio) and the checks made on OK.

#include <string>
#include <string_view>

class ResizeModel {
public:
    ResizeModel(int width, int height);

    enum class Focus { None, Percentage, Width, Height };
    struct Verdict {
        bool ok = false;
        const char* message = nullptr;  // shown in a plain message box when not ok
        Focus focus = Focus::None;
    };

    // The texts shown, as the edits hold them.
    std::string widthText;
    std::string heightText;
    std::string percentageText = "100";
    bool keepAspect = true;
    bool percentageMode = false;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int StartWidth() const { return m_startWidth; }
    int StartHeight() const { return m_startHeight; }

    // Each returns the focus to move to (Width when a percentage outside 1..200 put the
    // present size back). The edit typed in keeps its text; the other edits are rewritten.
    Focus PercentageTyped(std::string_view text);
    void WidthTyped(std::string_view text);
    void HeightTyped(std::string_view text);

    // The checks of OK on the texts as they stand; on success Width() and Height() hold
    // the chosen size.
    Verdict Validate();

    static constexpr int kTypingCap = 4096;
    static constexpr int kLargest = 4095;

private:
    int m_width;
    int m_height;
    int m_startWidth;
    int m_startHeight;
    int m_percentage = 100;
};
