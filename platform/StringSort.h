#pragma once
// Case-insensitive ordering of names, as the folder loaders list them.

#include <string>
#include <string_view>
#include <vector>

// Compares two UTF-8 texts character by character, ignoring the letter case of every
// Unicode letter; characters compare by their code after that, and bytes that are not
// valid UTF-8 by value, after every character. Negative, zero or positive like strcmp.
int CompareNoCase(std::string_view a, std::string_view b);

// Sorts in place, ignoring letter case; names equal but for case keep their order.
void SortStringArray(std::vector<std::string>& names);
