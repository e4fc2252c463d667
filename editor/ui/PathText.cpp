#include "editor/ui/PathText.h"

#include <wx/strconv.h>

namespace pixoro {

namespace {

// Stray bytes become the private-use characters U+100000 + byte and back.
constexpr wxUint32 kStrayByteBase = 0x100000;

const wxMBConvUTF8& ByteKeeper()
{
    static const wxMBConvUTF8 keeper(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return keeper;
}

}  // namespace

wxString PathToWx(const std::string& path) { return wxString(path.data(), ByteKeeper(), path.size()); }

std::string PathFromWx(const wxString& path)
{
    const wxCharBuffer bytes = path.mb_str(ByteKeeper());
    return std::string(bytes.data(), bytes.length());
}

wxString ShowText(const std::string& text)
{
    wxString shown = PathToWx(text);
    for (auto it = shown.begin(); it != shown.end(); ++it) {
        const wxUint32 c = static_cast<wxUint32>((*it).GetValue());
        if (c >= kStrayByteBase && c < kStrayByteBase + 0x100)
            *it = wxUniChar(0xFFFD);
    }
    return shown;
}

}  // namespace pixoro
