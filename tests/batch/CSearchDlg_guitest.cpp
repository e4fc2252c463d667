#include "batch/ui/CSearchDlg.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CQuorixState.h"
#include "resources/manager/BatchDialogs.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/manager/ThumbTestSupport.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class SearchDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "trip" / "day1");
        for (const char* name : {"trip/day1/cat.jpg", "trip/Cat2.JPG", "dog.png"}) {
            CLfImage picture = lftest::GradientPicture(30, 20);
            lftest::SavePicture(picture, dir / name, fs::path(name).extension() == ".png" ? lfimg::kTypePNG : lfimg::kTypeJPG);
        }
        doc = std::make_unique<lftest::TestDoc>((dir / "qkvex.sess").string(), &state);
        doc->SetCurrentFolder(lftest::TestDoc::MakeFolder(dir.str(), {"dog.png"}));
        dialog = new CSearchDlg(nullptr);
        dialog->SetSearch(doc.get(), nullptr, CSearchDlg::kFileNameCaption);
        dialog->SetViewChanger([this](CQuorixDoc& d) { viewModeAtChange = d.m_nViewMode; });
    }
    void TearDown() override
    {
        dialog->Destroy();
        state.m_threads.StopAndWait(true);
    }
    void Enter(int id, const std::string& text)
    {
        dynamic_cast<wxComboBox*>(dialog->FindWindow(id))->SetValue(wxString::FromUTF8(text));
    }
    std::vector<std::string> Found() const
    {
        std::vector<std::string> paths;
        for (const auto& image : doc->GetCurrentFolder()->m_arrImages)
            paths.push_back(image->m_strPath);
        return paths;
    }

    lftest::TempDir dir;
    CQuorixState state{(dir / "settings.ini").string()};
    std::unique_ptr<lftest::TestDoc> doc;
    CSearchDlg* dialog = nullptr;
    int viewModeAtChange = -1;
};

}  // namespace

TEST_F(SearchDlgTest, FindsImagesByNameIntoTheSearchFolder)
{
    Enter(mdlg::kSearchPattern, "cat");
    Enter(mdlg::kSearchFolder, dir.str());
    dialog->StartSearch();
    EXPECT_EQ(viewModeAtChange, int(kViewThumbnailsAndDetails)) << "the list shows the results";
    ASSERT_TRUE(lftest::PumpUntil([&] { return !dialog->IsSearching(); }));
    EXPECT_EQ(doc->GetCurrentFolder()->m_strDisplayName, "Search");
    EXPECT_EQ(Found(), (std::vector<std::string>{(dir / "trip/day1/cat.jpg").string(), (dir / "trip/Cat2.JPG").string()}));
    EXPECT_EQ(doc->GetCurrentFolder()->Image(0)->m_nWidth, 30);
    EXPECT_TRUE(doc->GetCurrentFolder()->Image(0)->GetThumbnail());
    EXPECT_EQ(dialog->GetStatusText(), CSearchDlg::kCompletedText);
    EXPECT_TRUE(doc->m_bSearchResults);
    EXPECT_FALSE(doc->m_bSearching);
    EXPECT_EQ(doc->m_strSearchRoot, dir.str());
    EXPECT_EQ(doc->m_arrNameTerms, (std::vector<std::string>{"*cat*.*"}));
    EXPECT_EQ(doc->m_arrPatternHistory, (std::vector<std::string>{"*cat*.*"}));
    EXPECT_EQ(dynamic_cast<wxComboBox*>(dialog->FindWindow(mdlg::kSearchPattern))->GetValue(), "cat")
        << "the pattern as typed";
    EXPECT_TRUE(dialog->FindWindow(wxID_OK)->IsEnabled());
    EXPECT_FALSE(dialog->FindWindow(mdlg::kSearchStop)->IsEnabled());

    // Without subfolders and with no match.
    dynamic_cast<wxCheckBox*>(dialog->FindWindow(mdlg::kSearchSubfolders))->SetValue(false);
    Enter(mdlg::kSearchPattern, "cat");
    dialog->StartSearch();
    ASSERT_TRUE(lftest::PumpUntil([&] { return !dialog->IsSearching(); }));
    EXPECT_TRUE(Found().empty());
    EXPECT_EQ(dialog->GetStatusText(), " 0 files found.");
}

TEST_F(SearchDlgTest, AnEmptyFolderAsksTheBrowserAndCancelStartsNothing)
{
    int asked = 0;
    dialog->SetFolderPicker([&](const std::string&) -> std::optional<std::string> {
        ++asked;
        return asked == 1 ? std::nullopt : std::optional<std::string>(dir.str());
    });
    dialog->StartSearch();
    EXPECT_FALSE(dialog->IsSearching());
    EXPECT_EQ(doc->GetCurrentFolder()->m_strDisplayName, dir.str()) << "nothing changed";
    dialog->StartSearch();
    EXPECT_EQ(asked, 2);
    ASSERT_TRUE(lftest::PumpUntil([&] { return !dialog->IsSearching(); }));
    EXPECT_EQ(doc->m_strSearchRoot, dir.str()) << "the trailing slash the browser adds is not part of the root";
    EXPECT_EQ(Found().size(), 3u);
}

TEST_F(SearchDlgTest, StopEndsTheSearchAndKeepsWhatWasFound)
{
    Enter(mdlg::kSearchFolder, dir.str());
    dialog->StartSearch();
    dialog->StopSearch();
    EXPECT_FALSE(dialog->IsSearching());
    EXPECT_TRUE(dialog->FindWindow(wxID_OK)->IsEnabled());
    EXPECT_TRUE(dialog->FindWindow(wxID_CANCEL)->IsEnabled());
    EXPECT_EQ(dialog->GetStatusText(), "") << "the status is hidden";
    // The walk ends soon after; a new search waits for it and starts afresh.
    Enter(mdlg::kSearchPattern, "dog");
    dialog->StartSearch();
    ASSERT_TRUE(lftest::PumpUntil([&] { return !dialog->IsSearching(); }));
    EXPECT_EQ(Found(), (std::vector<std::string>{(dir / "dog.png").string()}));
}
