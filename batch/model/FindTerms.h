#pragma once
// The file-name search's terms: how a typed pattern becomes wildcard terms and how a term
// meets a file name.

#include <string>
#include <vector>

namespace batch {

// A pattern without "*" gets one in front, and one without "." gets "*.*" appended; the
// result, trimmed, is split at every blank. Each term but the first starts with its blank
// (terms are trimmed where they are used); two blanks in a row give an empty term.
std::vector<std::string> BuildNameTerms(const std::string& pattern);

// The pattern as BuildNameTerms sees it before the split.
std::string ExpandNamePattern(const std::string& pattern);

// Blanks and tabs off both ends.
std::string TrimBlanks(const std::string& text);

// True when name matches the term: "*" any run of characters, "?" one character, other
// characters themselves in either case. The term is trimmed first; an empty term and
// "*.*" match every name.
bool MatchesTerm(const std::string& term, const std::string& name);

}  // namespace batch
