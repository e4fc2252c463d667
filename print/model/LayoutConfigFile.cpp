#include "print/model/LayoutConfigFile.h"

#include "platform/DecimalText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <limits>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view SkipSpace(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    return text.substr(i);
}

size_t SkipDigits(std::string_view text, size_t i)
{
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i;
}

// Every occurrence of one tag in the text, in order, so that "the first occurrence at
// or after a position" costs a binary search and a hostile file with many blocks
// stays linear to scan.
class TagIndex {
public:
    TagIndex(std::string_view text, std::string tag) : m_tag(std::move(tag))
    {
        for (size_t at = text.find(m_tag); at != std::string_view::npos; at = text.find(m_tag, at + 1))
            m_positions.push_back(static_cast<long long>(at));
    }
    // Position of the first occurrence at or after `from`, or -1.
    long long Find(long long from) const
    {
        auto it = std::lower_bound(m_positions.begin(), m_positions.end(), from);
        return it == m_positions.end() ? -1 : *it;
    }
    long long Length() const { return static_cast<long long>(m_tag.size()); }

private:
    std::string m_tag;
    std::vector<long long> m_positions;
};

struct ValueTag {
    const char* name;
    std::function<void(LayoutBlock&, std::string_view)> apply;
};

using IntMember = int PrintLayout::*;
using FloatMember = float PrintLayout::*;

ValueTag IntTag(const char* name, IntMember member)
{
    return {name, [member](LayoutBlock& b, std::string_view v) { b.m_layout.*member = LayoutConfigFile::ParseInt(v); }};
}

ValueTag FloatTag(const char* name, FloatMember member)
{
    return {name,
            [member](LayoutBlock& b, std::string_view v) { b.m_layout.*member = LayoutConfigFile::ParseFloat(v); }};
}

const std::vector<ValueTag>& ValueTags()
{
    static const std::vector<ValueTag> tags = {
        {"IMAGENAME", [](LayoutBlock& b, std::string_view v) { b.m_strImageName = std::string(v); }},
        {"IMAGEPATH", [](LayoutBlock& b, std::string_view v) { b.m_strImagePath = std::string(v); }},
        IntTag("ROW", &PrintLayout::m_nRows),
        IntTag("COLUMN", &PrintLayout::m_nColumns),
        FloatTag("PAGEHEIGHT", &PrintLayout::m_fPageHeight),
        FloatTag("PAGEWIDTH", &PrintLayout::m_fPageWidth),
        FloatTag("VSPAN", &PrintLayout::m_fVSpan),
        FloatTag("HSPAN", &PrintLayout::m_fHSpan),
        FloatTag("TOPMARGIN", &PrintLayout::m_fTopMargin),
        FloatTag("BOTMARGIN", &PrintLayout::m_fBottomMargin),
        FloatTag("LMARGIN", &PrintLayout::m_fLeftMargin),
        FloatTag("RMARGIN", &PrintLayout::m_fRightMargin),
        FloatTag("PHOTOHEIGHT", &PrintLayout::m_fPhotoHeight),
        FloatTag("PHOTOWIDTH", &PrintLayout::m_fPhotoWidth),
        IntTag("PRINTHEAD", &PrintLayout::m_nPrintHead),
        IntTag("PRINTFOOT", &PrintLayout::m_nPrintFoot),
        IntTag("PAGEORIENTATION", &PrintLayout::m_nPageOrientation),
    };
    return tags;
}

// The text between the end of "<TAG>" and "</TAG>", both searched from `from`. A tag
// not found counts as position -1; a negative start or length counts as 0.
std::string_view TagValue(std::string_view text, const TagIndex& open, const TagIndex& close, long long from)
{
    long long opening = open.Find(from);
    long long start = opening < 0 ? -1 : opening + open.Length();
    long long length = close.Find(from) - start;
    start = std::max(start, 0LL);
    length = std::max(length, 0LL);
    const long long size = static_cast<long long>(text.size());
    if (start >= size)
        return {};
    length = std::min(length, size - start);
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

std::string SizeText(float size)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(size));
    return text;
}

}  // namespace

std::string LayoutConfigFile::ReadText(std::istream& in)
{
    constexpr size_t kPiece = 3999;
    std::string text;
    std::string piece;
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr)
        return text;
    while (text.size() < kMaxTextLength) {
        piece.clear();
        for (;;) {
            const int c = buffer->sbumpc();
            if (c == std::char_traits<char>::eof())
                break;
            piece.push_back(static_cast<char>(c));
            if (c == '\n' || piece.size() == kPiece)
                break;
        }
        if (piece.empty())
            break;
        const bool lineEnd = piece.back() == '\n';
        piece.pop_back();
        if (lineEnd && !piece.empty() && piece.back() == '\r')
            piece.pop_back();
        text += piece;
    }
    if (text.size() > kMaxTextLength)
        text.resize(kMaxTextLength);
    return text;
}

std::string LayoutConfigFile::ReadTextFromFile(const std::string& path)
{
    std::ifstream in(path, std::ios::in);
    if (!in)
        return {};
    return ReadText(in);
}

std::string LayoutConfigFile::LayoutProblem(const LayoutBlock& block)
{
    const PrintLayout& l = block.m_layout;
    const std::string name = block.m_strImageName + ": ";
    // Pages are cut into rows by columns of cells: without one of each there is nothing to fill.
    if (l.m_nRows < 1 || l.m_nColumns < 1)
        return name + std::to_string(l.m_nRows) + " rows by " + std::to_string(l.m_nColumns) +
               " columns; a page holds at least 1 on a side.";
    if (l.m_nRows > kMaxCellsPerSide || l.m_nColumns > kMaxCellsPerSide ||
        int64_t(l.m_nRows) * l.m_nColumns > kMaxCellsPerPage)
        return name + std::to_string(l.m_nRows) + " rows by " + std::to_string(l.m_nColumns) +
               " columns; a page holds at most " + std::to_string(kMaxCellsPerSide) + " on a side and " +
               std::to_string(kMaxCellsPerPage) + " cells.";
    const float sizes[] = {l.m_fPageHeight, l.m_fPageWidth,     l.m_fVSpan,      l.m_fHSpan,
                           l.m_fTopMargin,  l.m_fBottomMargin,  l.m_fLeftMargin, l.m_fRightMargin,
                           l.m_fPhotoHeight, l.m_fPhotoWidth};
    const std::string range = "; sizes run from 0 to " + std::to_string(int(kMaxInches)) + " inches.";
    for (const float size : sizes) {
        if (std::isnan(size))
            return name + "a size that is not a number" + range;
        if (std::isinf(size))
            return name + "an infinite size" + range;
        if (!(size >= 0.0f && size <= kMaxInches))
            return name + "a size of " + SizeText(size) + " inches" + range;
    }
    return {};
}

std::vector<LayoutBlock> LayoutConfigFile::Parse(std::string_view text, std::vector<std::string>* refused)
{
    std::vector<LayoutBlock> blocks;
    const long long frame = TagIndex(text, "<FRAME>").Find(0);
    if (frame < 0)
        return blocks;
    const long long frameEnd = TagIndex(text, "</FRAME>").Find(frame);
    if (frameEnd < 0)
        return blocks;

    const TagIndex layoutTag(text, "<LAYOUT>");
    std::vector<std::pair<TagIndex, TagIndex>> tags;
    for (const ValueTag& tag : ValueTags())
        tags.emplace_back(TagIndex(text, std::string("<") + tag.name + ">"),
                          TagIndex(text, std::string("</") + tag.name + ">"));
    const TagIndex& orientationEnd = tags.back().second;

    for (long long at = layoutTag.Find(frame); at >= 0 && at < frameEnd && blocks.size() < kMaxLayouts;) {
        LayoutBlock block;
        for (size_t t = 0; t < tags.size(); ++t)
            ValueTags()[t].apply(block, TagValue(text, tags[t].first, tags[t].second, at));
        // Blocks without a picture name are no layouts; a layout that cannot be used is
        // refused by name.
        if (IsPictureName(block.m_strImageName)) {
            if (std::string problem = LayoutProblem(block); problem.empty())
                blocks.push_back(std::move(block));
            else if (refused)
                refused->push_back(std::move(problem));
        }
        // The next block is looked for from this block's closing orientation tag; a block
        // without one is the last (the search could not move on).
        const long long next = orientationEnd.Find(at);
        if (next < 0)
            break;
        at = layoutTag.Find(next);
    }
    return blocks;
}

bool LayoutConfigFile::IsPictureName(std::string_view name)
{
    const size_t slash = name.find_last_of("/\\");
    std::string_view file = slash == std::string_view::npos ? name : name.substr(slash + 1);
    const size_t dot = file.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    std::string extension(file.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    static constexpr std::array<std::string_view, 5> kExtensions = {".bmp", ".jpg", ".gif", ".jpeg", ".png"};
    return std::find(kExtensions.begin(), kExtensions.end(), extension) != kExtensions.end();
}

int LayoutConfigFile::ParseInt(std::string_view text)
{
    return ParseDecimal(SkipSpace(text));
}

float LayoutConfigFile::ParseFloat(std::string_view text)
{
    text = SkipSpace(text);
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const bool negative = i > 0 && text[0] == '-';
    // The words of C's number reading stand for what they name, so that the layout
    // check refuses them rather than taking them as 0.
    const auto startsWith = [&text, i](std::string_view word) {
        if (text.size() - i < word.size())
            return false;
        for (size_t k = 0; k < word.size(); ++k) {
            const char c = text[i + k];
            if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != word[k])
                return false;
        }
        return true;
    };
    if (startsWith("nan"))
        return std::numeric_limits<float>::quiet_NaN();
    if (startsWith("inf"))
        return negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    const size_t digitsFrom = i;
    i = SkipDigits(text, i);
    size_t digits = i - digitsFrom;
    const bool wholePart = text.substr(digitsFrom, i - digitsFrom).find_first_not_of('0') != std::string_view::npos;
    if (i < text.size() && text[i] == '.') {
        const size_t fractionFrom = i + 1;
        const size_t fractionEnd = SkipDigits(text, fractionFrom);
        digits += fractionEnd - fractionFrom;
        i = fractionEnd;
    }
    if (digits == 0)
        return 0.0f;
    bool smallerExponent = false;
    bool exponent = false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t e = i + 1;
        smallerExponent = e < text.size() && text[e] == '-';
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        const size_t exponentEnd = SkipDigits(text, e);
        if (exponentEnd > e) {
            i = exponentEnd;
            exponent = true;
        }
    }
    // from_chars takes no '+' and never looks at the locale.
    std::string_view number = text.substr(0, i);
    if (number.front() == '+')
        number.remove_prefix(1);
    float value = 0.0f;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large reads as infinite (as C's reading gives), too small as 0.
        const bool tooLarge = exponent ? !smallerExponent : wholePart;
        if (!tooLarge)
            return 0.0f;
        return negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    }
    if (result.ec != std::errc())
        return 0.0f;
    return value;
}
