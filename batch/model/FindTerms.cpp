#include "batch/model/FindTerms.h"

#include <cctype>

namespace batch {

std::string TrimBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string ExpandNamePattern(const std::string& pattern)
{
    // Built by appending, not by inserting at the front: GCC 12's optimiser takes an
    // insert at 0 for an overlapping copy and warns (-Wrestrict).
    std::string expanded = pattern.find('*') == std::string::npos ? "*" + pattern : pattern;
    if (expanded.find('.') == std::string::npos)
        expanded += "*.*";
    return TrimBlanks(expanded);
}

std::vector<std::string> BuildNameTerms(const std::string& pattern)
{
    const std::string text = ExpandNamePattern(pattern);
    std::vector<std::string> terms;
    size_t start = 0;
    for (;;) {
        const size_t blank = text.find(' ', start + (terms.empty() ? 0 : 1));
        terms.push_back(text.substr(start, blank == std::string::npos ? std::string::npos : blank - start));
        if (blank == std::string::npos)
            break;
        start = blank;
    }
    return terms;
}

bool MatchesTerm(const std::string& rawTerm, const std::string& name)
{
    const std::string term = TrimBlanks(rawTerm);
    if (term.empty() || term == "*.*")
        return true;
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    // Greedy match with one backtrack point: the last "*" seen.
    size_t t = 0, n = 0, star = std::string::npos, resume = 0;
    while (n < name.size()) {
        if (t < term.size() && (term[t] == '?' || (term[t] != '*' && same(term[t], name[n])))) {
            ++t;
            ++n;
        } else if (t < term.size() && term[t] == '*') {
            star = t++;
            resume = n;
        } else if (star != std::string::npos) {
            t = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (t < term.size() && term[t] == '*')
        ++t;
    return t == term.size();
}

}  // namespace batch
