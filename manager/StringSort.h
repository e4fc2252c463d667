#pragma once
// Case-insensitive ordering of names, as the folder loaders list them.

#include <string>
#include <string_view>
#include <vector>

// Compares two texts ignoring the letter case of ASCII letters; other bytes compare
// by value. Negative, zero or positive like strcmp.
int CompareNoCase(std::string_view a, std::string_view b);

// Sorts in place, ignoring letter case; names equal but for case keep their order.
void SortStringArray(std::vector<std::string>& names);
