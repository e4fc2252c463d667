#include "platform/gui/NameText.h"

#include <wx/strconv.h>

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

}  // namespace

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
    while (!name.empty()) {
        const size_t length = SequenceLength(name);
        if (length == 0) {
            valid += "\xEF\xBF\xBD";  // U+FFFD
            name.remove_prefix(1);
        } else {
            valid.append(name.substr(0, length));
            name.remove_prefix(length);
        }
    }
    return wxString::FromUTF8(valid);
}

std::string NameFromDisplay(const wxString& text, std::string_view original)
{
    if (text == NameToDisplay(original))
        return std::string(original);
    return text.utf8_string();
}

}  // namespace lfplat
