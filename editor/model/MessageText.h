#pragma once
// Texts of message boxes. A box wraps its text at blanks only, so a long path would make
// it wider than the screen and hide its buttons: long runs without a blank get places
// where a line may break.

#include <string>
#include <string_view>

namespace pixoro {

// text with a zero-width space after each '/' of a run of more than maxRun characters
// without blanks, and after every maxRun characters of a part of such a run that holds
// no '/'. Nothing else changes; UTF-8 characters are never split.
std::string BreakLongRuns(std::string_view text, size_t maxRun = 40);

}  // namespace pixoro
