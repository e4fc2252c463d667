#pragma once
// The main toolbar's buttons (in order) and its pictures: the button strip drawn on the
// key colour 0xC0C0C0, and the background gradient, both 880 x 46 pixels; each button
// image is 55 x 43 pixels of the strip.

#include <wx/bitmap.h>

#include <array>

struct EditorToolButton {
    int id;
    const char* prompt;   // status text, then the tooltip after "\n"
    const char* caption;  // drawn into the button's image
};

inline constexpr int kToolButtonWidth = 55;
inline constexpr int kToolButtonHeight = 43;
inline constexpr int kToolStripHeight = 46;

const std::array<EditorToolButton, 16>& EditorToolButtons();
// The tooltip: the prompt's text after its first newline (all of it without one).
wxString ToolTipText(const EditorToolButton& button);
wxString StatusText(const EditorToolButton& button);

// The button strip (the icons and captions on the key colour), and the background.
wxBitmap MakeToolbarStrip();
wxBitmap MakeToolbarBackground();
