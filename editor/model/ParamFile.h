#pragma once
// The manager's parameter file: lines "%d|%d" (its sort key and sort direction), of which
// the editor keeps the last. Only a line of a digit, '|' and a digit is taken.

#include <optional>
#include <string>

struct ParamDigits {
    int sortKey = 0;
    int sortOrder = 0;
};

// None when the file is missing or its last line is not of that form.
std::optional<ParamDigits> ReadParamFile(const std::string& path);
