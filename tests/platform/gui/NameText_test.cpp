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

TEST(NameText, AnEditKeepsTheBytesOfEveryCharacterTheUserDidNotType)
{
    struct Case {
        const char* what;
        std::string original;
        std::string edited;  // UTF-8, as the window gives it
        std::string bytes;
    };
    const std::string r = "\xEF\xBF\xBD";  // U+FFFD as the window shows a byte that does not decode
    const Case cases[] = {
        {"X appended", "caf\xE9", "caf" + r + "X", "caf\xE9X"},
        {"unchanged", "caf\xE9", "caf" + r, "caf\xE9"},
        {"prefix typed", "\xE9t\xE9", "new " + r + "t" + r, "new \xE9t\xE9"},
        {"edits in two places", "a\xE9" "b\xE8" "c", "Xa" + r + "b" + r + "cY", "Xa\xE9" "b\xE8" "cY"},
        {"a character deleted between", "\xE9" "a\xE8", r + r, "\xE9\xE8"},
        {"the byte itself deleted", "caf\xE9", "caf", "caf"},
        {"the byte replaced by a letter", "caf\xE9", "cafe", "cafe"},
        {"valid UTF-8 kept and typed", "caf\xC3\xA9", "caf\xC3\xA9 2", "caf\xC3\xA9 2"},
        {"a cut sequence, a letter inserted", "cut\xE2\x82", "cut" + r + "x" + r, "cut\xE2x\x82"},
        {"all replaced", "\xFF\xFE", "new", "new"},
        {"emptied", "\xFF", "", ""},
        {"from nothing", "", "abc", "abc"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lfplat::NameBytesFromEdit(c.original, c.edited), c.bytes) << c.what;
    // The window's text takes the same road.
    EXPECT_EQ(lfplat::NameFromDisplay(lfplat::NameToDisplay("caf\xE9") + "X", "caf\xE9"), "caf\xE9X");
    // Too long to align: the common ends still keep their bytes.
    const std::string longName = "\xE9" + std::string(2000, 'a') + "\xE8";
    EXPECT_EQ(lfplat::NameBytesFromEdit(longName, r + std::string(1000, 'b') + r), "\xE9" + std::string(1000, 'b') + "\xE8");
}

TEST(NameText, PathsTravelInTextWithoutLosingAByte)
{
    for (const std::string path : {"/photos/caf\xC3\xA9/a.jpg", "/photos/caf\xE9/\xFF.jpg", "/", "", "/a b/\x80\x80"}) {
        const wxString text = lfplat::PathToText(path);
        EXPECT_EQ(lfplat::PathFromText(text), path);
    }
    EXPECT_EQ(lfplat::PathToText("/caf\xC3\xA9"), wxString::FromUTF8("/caf\xC3\xA9")) << "valid names are plain text";
}
