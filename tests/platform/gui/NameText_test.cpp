#include "platform/gui/NameText.h"

#include <gtest/gtest.h>

TEST(NameText, NamesThatAreNotUtf8ShowEveryOtherCharacterAndComeBackAsTheirBytes)
{
    struct Case {
        std::string bytes;
        std::wstring shown;
    };
    const Case cases[] = {
        {"plain.jpg", L"plain.jpg"},
        {"caf\xC3\xA9.jpg", L"caf\u00E9.jpg"},
        {"caf\xE9.jpg", L"caf\uFFFD.jpg"},                  // Latin-1
        {"\xFF\xFE", L"\uFFFD\uFFFD"},
        {"a\xED\xA0\x80z", L"a\uFFFD\uFFFD\uFFFDz"},        // an encoded surrogate
        {"\xF0\x9F\x93\xB7x", L"\U0001F4F7x"},              // four bytes
        {"cut\xE2\x82", L"cut\uFFFD\uFFFD"},                // a sequence cut short
        {"", L""},
    };
    for (const Case& c : cases) {
        const wxString shown = lfplat::NameToDisplay(c.bytes);
        EXPECT_EQ(shown.ToStdWstring(), c.shown) << c.bytes;
        EXPECT_EQ(lfplat::NameFromDisplay(shown, c.bytes), c.bytes) << "unchanged text keeps the bytes";
    }
    // Text the user changed is taken as typed.
    EXPECT_EQ(lfplat::NameFromDisplay(wxString::FromUTF8("caf\xC3\xA9 2.jpg"), "caf\xE9.jpg"), "caf\xC3\xA9 2.jpg");
}

TEST(NameText, PathsTravelInTextWithoutLosingAByte)
{
    for (const std::string path : {"/photos/caf\xC3\xA9/a.jpg", "/photos/caf\xE9/\xFF.jpg", "/", "", "/a b/\x80\x80"}) {
        const wxString text = lfplat::PathToText(path);
        EXPECT_EQ(lfplat::PathFromText(text), path);
    }
    EXPECT_EQ(lfplat::PathToText("/caf\xC3\xA9"), wxString::FromUTF8("/caf\xC3\xA9")) << "valid names are plain text";
}
