// Typing into the rename pattern through the X server, as a user's keys arrive.
#include "batch/ui/CBatchRenameDlg.h"
#include "manager/model/CQuorixState.h"
#include "resources/manager/BatchDialogs.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

namespace {

TEST(BatchRenamePatternInput, TypingGivesWhatWasTyped)
{
    lftest::TempDir dir;
    CQuorixState state{(dir / "settings.ini").string()};
    lftest::TestDoc doc((dir / "qkvex.sess").string(), &state);
    doc.SetCurrentFolder(lftest::TestDoc::MakeFolder(dir.str(), {"a.JPG", "b.JPG"}));
    for (size_t i = 0; i < 2; ++i) {
        lftest::WriteText(dir / doc.GetCurrentFolder()->Image(i)->m_strName, "x");
        doc.GetCurrentFolder()->Image(i)->m_bSelected = true;
    }
    CBatchRenameDlg dialog;
    dialog.SetDocument(&doc);
    std::string typed;
    std::vector<std::string> names;
    wxTheApp->CallAfter([&] {
        auto* pattern = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(mdlg::kRenamePattern));
        EXPECT_TRUE(lftest::PumpUntil([&] { return pattern->IsShownOnScreen(); }));
        lftest::PumpFor(std::chrono::milliseconds(100));
        pattern->SetFocus();
        pattern->SelectAll();
        lftest::PumpFor(std::chrono::milliseconds(50));
        wxUIActionSimulator sim;
        sim.Text("IMG_???");
        EXPECT_TRUE(lftest::PumpUntil([&] { return pattern->GetValue().length() >= 7; }));
        lftest::PumpFor(std::chrono::milliseconds(100));
        typed = pattern->GetValue().utf8_string();
        names = dialog.GetNewNames();
        dialog.EndModal(wxID_CANCEL);
    });
    dialog.ShowModal();
    EXPECT_EQ(typed, "IMG_???");
    EXPECT_EQ(names, (std::vector<std::string>{"IMG_000.JPG", "IMG_001.JPG"}));
}

}  // namespace
