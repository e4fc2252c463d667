#pragma once
// The settings of a graphical-text job, shared by the manager's wizard and the editor's
// text dialog, and the arithmetic both apply to them: cutting the text into lines, the
// font height with its percentage cap, and the blend of the text colour into a pixel.

#include "image/CLfImage.h"
#include "platform/WinTypes.h"

#include <string>
#include <vector>

struct GraphicTextSettings {
    static constexpr size_t kMaxTextLength = 81;

    std::string text;                // lines separated by "\r\n" (a bare "\n" ends a line too)
    std::vector<std::string> lines;  // the text cut into lines; rebuilt by every rendering
    std::string heightText = "10";
    std::string unit = "Percent";  // "Pixels" or "Percent"
    std::string fontFace = "Arial";
    int fontChooserHeight = 0;  // the height the font chooser last returned
    COLORREF colour = RGB(0, 0, 0);
    std::string charSpacingText = "1";
    std::string lineSpacingText = "5";
    int visibility = 50;  // 0..100
    bool underline = false;
    bool centred = false;

    // Cuts text into lines (see CutTextLines).
    void CutLines() { lines = CutTextLines(text); }

    // The font height for a reference height: with the unit "Percent" the height text is
    // first capped at "25" (the text itself is rewritten) and the height is that share
    // of reference; with any other unit it is the height text in pixels.
    double FontHeight(double reference);
    int CharSpacing() const { return LeadingInt(charSpacingText); }
    int LineSpacing() const { return LeadingInt(lineSpacingText); }

    // A line ends at each line feed, a carriage return before it is dropped; an empty
    // text gives no line and a final line break no empty last line. The table grows
    // with the text, so any number of breaks fits.
    static std::vector<std::string> CutTextLines(const std::string& text);
    // The whole number a text starts with (after blanks, with a sign); 0 for none.
    static int LeadingInt(const std::string& text);
    // The real number a text starts with; 0 for none.
    static double LeadingReal(const std::string& text);
};

// The two programs blend with slightly different arithmetic; each keeps its own so the
// same settings give the same pixels as before in each program.
enum class BlendRule {
    Manager,  // v = visibility x single-precision 0.01, the rest in extended precision
    Editor,   // v and 1 - v rounded to single precision
};

// Each channel: text x v + pixel x (1 - v), truncated; the fourth byte is 0.
RGBQUAD BlendColor(COLORREF text, RGBQUAD pixel, int visibility, BlendRule rule);

// Integer height of a font of height f, and the height of a block of n lines.
inline int IntegerFontHeight(double f) { return static_cast<int>(f); }
inline int BlockHeight(int lineCount, int fontHeight, int lineSpacing)
{
    return lineCount <= 0 ? 0 : lineCount * fontHeight + lineSpacing * (lineCount - 1);
}
