#pragma once
// The rotate dialog's angle, free of windows: what a typed angle means and how the
// image is turned by it.

#include <optional>
#include <string_view>

class CLfImage;

// The angle of a typed text: nothing for an empty text; otherwise the leading number
// (0 when there is none, e.g. a lone minus sign), read within bounds and reduced modulo
// 360 keeping its sign, so -90 turns the other way.
std::optional<int> NormaliseAngle(std::string_view text);

// Right adds 90, Left adds 270, from the text's angle (an empty text counts as 0).
int AngleAfterStep(std::string_view text, int step);

// Turns the image by a whole number of degrees (positive clockwise as displayed).
// Multiples of 90 use the exact quarter turns; a multiple of 360 does nothing and
// returns false, so the caller records no change.
bool RotateByDegrees(CLfImage& image, int degrees);
