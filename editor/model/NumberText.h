#pragma once
// Numbers typed into the dialogs' edits: read like the C library's leading-digits
// reading (blanks, an optional sign, then digits; anything else ends the number), but
// held within bounds, so a long string of digits cannot overflow.

#include <optional>
#include <string_view>

// The number at the start of text, clamped to [low, high]; 0 (clamped) when there are
// no digits at all.
long ParseBoundedNumber(std::string_view text, long low, long high);

// Like ParseBoundedNumber, but nothing when the text holds no digits (empty, a lone
// sign or letters).
std::optional<long> ParseBoundedInteger(std::string_view text, long low, long high);

// A real number written at the start of text (after blanks), clamped to [low, high];
// nothing when the text does not start with one.
std::optional<double> ParseBoundedReal(std::string_view text, double low, double high);

// The text without blanks at either end.
std::string_view TrimBlanks(std::string_view text);
