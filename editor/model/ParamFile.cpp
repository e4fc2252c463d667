#include "editor/model/ParamFile.h"

#include <cctype>
#include <fstream>

std::optional<ParamDigits> ReadParamFile(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        return std::nullopt;
    std::string line, last;
    bool any = false;
    while (std::getline(in, line)) {
        last = line;
        any = true;
    }
    if (!any)
        return std::nullopt;
    if (!last.empty() && last.back() == '\r')
        last.pop_back();
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (last.size() != 3 || !digit(last[0]) || last[1] != '|' || !digit(last[2]))
        return std::nullopt;
    return ParamDigits{last[0] - '0', last[2] - '0'};
}
