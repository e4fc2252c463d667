#pragma once
// The settings and arithmetic of the hover button that need no window: its six state
// colours with the setters' result codes, which image and colours a state shows, and
// where the image and the caption go.

#include "platform/WinTypes.h"

#include <array>
#include <cstddef>

// Result codes of the hover button's setters.
enum HoverButtonResult : int {
    kHoverOk = 0,
    kHoverLoadFailed = 1,    // the image or resource did not load or could not be read
    kHoverMaskFailed = 2,    // making the transparency mask failed
    kHoverBadColorIndex = 3, // colour index above 5
    kHoverBadAlignment = 4,  // alignment above 2
};

// Colour indices: 0/1 background/caption while hovering or pressed, 2/3 otherwise,
// 4/5 while focused (5 is kept but drawing never uses it).
enum HoverColorIndex : int {
    kColorBackIn = 0,
    kColorForeIn = 1,
    kColorBackOut = 2,
    kColorForeOut = 3,
    kColorBackFocus = 4,
    kColorForeFocus = 5,
};

enum HoverImageAlign : int {
    kAlignImageLeft = 0,   // image left of the caption
    kAlignImageTop = 1,    // image above the caption
    kAlignImageRight = 2,  // image right of the caption
};

// What one draw of the button knows about its state.
struct HoverDrawState {
    bool pressed = false;   // selected, ticked (check-box mode) or its menu open
    bool hovering = false;
    bool focused = false;
    bool checkBoxMode = false;
    bool ticked = false;
};

class HoverButtonModel {
public:
    // faceColor and textColor are the system button-face and button-text colours.
    HoverButtonModel(COLORREF faceColor, COLORREF textColor);

    void ResetColors();
    int SetStateColor(int index, COLORREF color);
    int GetStateColor(int index, COLORREF& color) const;
    int SetImageAlign(int align);
    int GetImageAlign() const { return m_align; }

    // Background colour of a draw (0 hovering or pressed, 4 focused, 2 otherwise).
    COLORREF BackgroundColor(const HoverDrawState& state) const;
    // Caption colour and the background behind the text.
    COLORREF CaptionColor(const HoverDrawState& state) const;
    COLORREF CaptionBackground(const HoverDrawState& state) const;

private:
    COLORREF m_face;
    COLORREF m_text;
    std::array<COLORREF, 6> m_colors{};
    int m_align = kAlignImageLeft;
};

// The in-image shows while pressed or hovering (check-box mode: pressed or ticked).
bool ShowsInImage(const HoverDrawState& state);

// Places an image of the given size in the button's item rectangle and adjusts the
// caption rectangle around it; returns the image's top-left corner. A press (outside
// check-box mode) moves the image by one pixel down and right.
POINT PlaceHoverImage(const RECT& item, RECT& caption, SIZE image, bool hasCaption, int align, bool pressShift);

// Centres a measured text rectangle inside the caption rectangle (half the differences,
// rounded toward zero).
RECT CentreCaption(const RECT& caption, SIZE measured);
