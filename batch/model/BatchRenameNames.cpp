#include "batch/model/BatchRenameNames.h"

#include <cctype>
#include <cstdlib>

namespace batch {

namespace {

// Characters a letter counter may produce: printable ASCII except the blank and "/".
bool IsCounterCharacter(int code) { return code > ' ' && code <= '~' && code != '/'; }

std::string Folded(std::string text, int foldCase)
{
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (foldCase == kCaseLower)
            c = static_cast<char>(std::tolower(u));
        else if (foldCase == kCaseUpper)
            c = static_cast<char>(std::toupper(u));
    }
    return text;
}

}  // namespace

std::string NextCounter(const std::string& counter, int counterKind)
{
    if (counterKind == kCounterNumber) {
        // strtoll reads a leading number and gives 0 for text that does not begin with one.
        const long long value = std::strtoll(counter.c_str(), nullptr, 10);
        return std::to_string(value + 1);
    }
    int code = counter.empty() ? 0 : static_cast<unsigned char>(counter[0]) % 128;
    do {
        ++code;
        if (code > '~')
            code = '!';
    } while (!IsCounterCharacter(code));
    return std::string(1, static_cast<char>(code));
}

std::vector<std::string> BuildNewNames(const RenameOptions& options, const std::vector<std::string>& oldNames)
{
    std::vector<std::string> names;
    names.reserve(oldNames.size());
    std::string counter = options.startValue;
    // The closing "." ends a run of "?" at the end of the pattern.
    const std::string work = options.pattern + ".";
    for (const std::string& oldName : oldNames) {
        std::string name;
        size_t run = 0;
        for (char c : work) {
            if (c == '?') {
                ++run;
                continue;
            }
            if (run > 0) {
                if (options.counterKind == kCounterNumber && counter.size() < run)
                    name.append(run - counter.size(), '0');
                name += counter;
                counter = NextCounter(counter, options.counterKind);
                run = 0;
            }
            name += c;
        }
        const size_t oldDot = oldName.find('.');
        name += oldDot == std::string::npos ? oldName : oldName.substr(oldDot + 1);
        const size_t dot = name.find('.');
        const std::string stem = name.substr(0, dot);
        const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
        names.push_back(Folded(stem, options.nameCase) + Folded(extension, options.extensionCase));
    }
    return names;
}

bool PatternNeedsCounter(const std::string& pattern, size_t fileCount)
{
    return fileCount > 1 && pattern.find('?') == std::string::npos;
}

std::string DefaultPattern(const std::string& firstName) { return firstName.substr(0, firstName.find('.')) + "???"; }

bool IsUsableFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || u < 0x20 || u == 0x7f)
            return false;
    }
    return true;
}

}  // namespace batch
