#include "platform/gui/NameText.h"

#include <wx/strconv.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lfplat {

namespace {

// Length of the well-formed UTF-8 sequence at text[0], 0 when it is not one.
size_t SequenceLength(std::string_view text)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One character as shown: its UTF-8 and the bytes of the name it stands for.
struct Shown {
    std::string_view text;
    std::string_view bytes;
};

// The characters that show name: a byte that does not decode shows as U+FFFD.
std::vector<Shown> ShownCharacters(std::string_view name)
{
    std::vector<Shown> characters;
    while (!name.empty()) {
        const size_t length = SequenceLength(name);
        if (length == 0)
            characters.push_back({kReplacement, name.substr(0, 1)});
        else
            characters.push_back({name.substr(0, length), name.substr(0, length)});
        name.remove_prefix(length == 0 ? 1 : length);
    }
    return characters;
}

}  // namespace

std::string NameBytesFromEdit(std::string_view original, std::string_view edited)
{
    const std::vector<Shown> before = ShownCharacters(original);
    const std::vector<Shown> after = ShownCharacters(edited);
    // The characters the user left stand where they stood: the longest common
    // subsequence of the two, after the common ends (an edit is mostly in one place).
    size_t head = 0;
    while (head < before.size() && head < after.size() && before[head].text == after[head].text)
        ++head;
    size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail].text == after[after.size() - 1 - tail].text)
        ++tail;
    const size_t n = before.size() - head - tail, m = after.size() - head - tail;
    // kept[i][j]: the common length of before[head+i..] and after[head+j..] (middles only).
    // A middle too long to compare is taken as typed.
    const bool compare = n * m <= kMaxEditCells;
    std::vector<std::vector<uint16_t>> kept(compare ? n + 1 : 0, std::vector<uint16_t>(m + 1, 0));
    if (compare)
        for (size_t i = n; i-- > 0;)
            for (size_t j = m; j-- > 0;)
                kept[i][j] = before[head + i].text == after[head + j].text
                                 ? uint16_t(kept[i + 1][j + 1] + 1)
                                 : std::max(kept[i + 1][j], kept[i][j + 1]);
    std::string bytes;
    for (size_t k = 0; k < head; ++k)
        bytes += before[k].bytes;
    for (size_t i = 0, j = 0; j < m;) {
        if (!compare) {
            bytes += after[head + j++].bytes;
        } else if (i < n && kept[i][j] > 0 && before[head + i].text == after[head + j].text &&
            kept[i][j] == kept[i + 1][j + 1] + 1) {
            bytes += before[head + i].bytes;
            ++i, ++j;
        } else if (i < n && kept[i][j] > 0 && kept[i + 1][j] == kept[i][j]) {
            ++i;  // a character the user took away
        } else {
            bytes += after[head + j].bytes;  // one the user typed
            ++j;
        }
    }
    for (size_t k = before.size() - tail; k < before.size(); ++k)
        bytes += before[k].bytes;
    return bytes;
}

wxString PathToText(std::string_view path)
{
    return wxString(path.data(), *wxConvFileName, path.size());
}

std::string PathFromText(const wxString& text)
{
    const wxCharBuffer bytes = text.fn_str();
    return std::string(bytes.data(), bytes.length());
}

wxString NameToDisplay(std::string_view name)
{
    std::string valid;
    valid.reserve(name.size());
    for (const Shown& character : ShownCharacters(name))
        valid += character.text;
    return wxString::FromUTF8(valid);
}

std::string NameFromDisplay(const wxString& text, std::string_view original)
{
    return NameBytesFromEdit(original, text.utf8_string());
}

}  // namespace lfplat
