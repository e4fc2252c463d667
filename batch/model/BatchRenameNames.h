#pragma once
// The new names of a batch rename: the pattern's runs of "?" become a counter (zero-padded
// decimal numbers or single characters counting up), the text after the first "." of each
// old name becomes the new extension, and name and extension may each be case-folded.

#include <string>
#include <vector>

namespace batch {

enum CounterKind : int { kCounterNumber = 0, kCounterLetters = 1 };
enum NameCase : int { kCaseUnchanged = 0, kCaseLower = 1, kCaseUpper = 2 };

struct RenameOptions {
    std::string pattern;
    int counterKind = kCounterNumber;
    std::string startValue = "0";
    int nameCase = kCaseUnchanged;
    int extensionCase = kCaseUnchanged;
};

// The counter's next text after counter. Numbers: the decimal value plus one (text that
// does not begin with a number counts as 0). Letters: the next character after the first
// one's; characters that cannot stand in a file name ("/", blanks, control characters and
// anything past "~") are passed over, and "~" is followed by "!".
std::string NextCounter(const std::string& counter, int counterKind);

// One new name per old name, in order. The counter starts at the start value exactly as
// typed and advances once per run of "?", across all runs and all names.
std::vector<std::string> BuildNewNames(const RenameOptions& options, const std::vector<std::string>& oldNames);

// Several files need a counter to tell them apart: true when a pattern for fileCount files
// has no "?" (the dialog then appends one).
bool PatternNeedsCounter(const std::string& pattern, size_t fileCount);

// The pattern the dialog proposes for an image: its name up to the first "." and "???".
std::string DefaultPattern(const std::string& firstName);

// False for a name that would not stay in its folder or could not be created there: empty,
// "." or "..", or holding "/" or a control character.
bool IsUsableFileName(const std::string& name);

}  // namespace batch
