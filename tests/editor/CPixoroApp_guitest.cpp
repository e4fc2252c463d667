#include "editor/ui/CPixoroApp.h"

#include "editor/model/ImageFileTypes.h"
#include "editor/ui/PathText.h"
#include "image/CLfImage.h"

#include <gtest/gtest.h>
#include <wx/filedlg.h>

#include <algorithm>

namespace {

TEST(CPixoroAppFileDialog, SaveAsProposesTheNameWithTheExtensionOfTheSelectedFilter)
{
    struct Case {
        int type;
        const char* name;
        const char* proposed;
    };
    const Case cases[] = {
        {lfimg::kTypeJPG, "/tmp/big", "big.jpg"},
        {lfimg::kTypePNG, "/tmp/alpha", "alpha.png"},
        {lfimg::kTypeBMP, "/tmp/plain", "plain.bmp"},
        // A format without a save row: the first filter, and its extension.
        {lfimg::kTypeTIF, "/tmp/scan", "scan.bmp"},
        {lfimg::kTypeJPG, "/tmp/kept.jpeg", "kept.jpeg"},
    };
    for (const Case& c : cases) {
        const auto dialog = CPixoroApp::MakeFileDialog(nullptr, c.name, false, c.type);
        const int expectedFilter = std::max(0, ImageFileTypes::GetFilterIndex(c.type, false));
        EXPECT_EQ(dialog->GetFilterIndex(), expectedFilter) << c.name;
        EXPECT_EQ(dialog->GetFilename(), c.proposed) << c.name;
    }
}

TEST(PathText, PathsKeepTheirBytesAndShowStrayBytesAsReplacementCharacters)
{
    const std::string latin1 = "/tmp/caf\xe9.jpg";
    EXPECT_EQ(pixoro::PathFromWx(pixoro::PathToWx(latin1)), latin1);
    const std::string utf8 = "/tmp/caf\xc3\xa9 \xe6\x97\xa5.jpg";
    EXPECT_EQ(pixoro::PathToWx(utf8), wxString::FromUTF8(utf8));
    EXPECT_EQ(pixoro::PathFromWx(pixoro::PathToWx(utf8)), utf8);
    EXPECT_EQ(pixoro::ShowText(latin1), wxString::FromUTF8("/tmp/caf\xef\xbf\xbd.jpg"));
    EXPECT_EQ(pixoro::ShowText(utf8), wxString::FromUTF8(utf8));
}

}  // namespace
