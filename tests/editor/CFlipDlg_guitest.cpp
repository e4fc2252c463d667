#include "editor/ui/CFlipDlg.h"

#include "editor/ui/CDlgImageView.h"
#include "resources/editor/DialogIds.h"
#include "tests/editor/DialogImages.h"
#include "tests/editor/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

using dlgtest::SamePixels;

// OK applies what the preview shows, whatever the number of presses.
TEST(CFlipDlgTest, OkAppliesWhatThePreviewShows)
{
    const CLfImage original = dlgtest::Gradient(40, 30);
    struct Case {
        std::vector<int> presses;
        bool flip, mirror;
    } cases[] = {
        {{}, false, false},
        {{IDC_FLIP_VERTICAL}, true, false},
        {{IDC_FLIP_VERTICAL, IDC_FLIP_VERTICAL}, false, false},
        {{IDC_FLIP_HORIZONTAL}, false, true},
        {{IDC_FLIP_VERTICAL, IDC_FLIP_HORIZONTAL, IDC_FLIP_HORIZONTAL, IDC_FLIP_HORIZONTAL}, true, true},
    };
    for (const Case& c : cases) {
        CLfImage work(original);
        auto* dialog = new CFlipDlg(nullptr, work);
        EXPECT_EQ(dialog->Pane()->GetSize(), wxSize(CFlipDlg::kPaneWidth, CFlipDlg::kPaneHeight));
        EXPECT_EQ(dialog->FindWindow(wxID_OK)->IsEnabled(), false);
        const CLfImage start(dialog->Preview());
        for (int id : c.presses)
            lftest::PressButton(*dialog, id);
        EXPECT_EQ(dialog->FindWindow(wxID_OK)->IsEnabled(), !c.presses.empty());
        EXPECT_TRUE(SamePixels(work, original)) << "the image waits for OK";
        lftest::PressButton(*dialog, 1);
        EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
        EXPECT_EQ(dialog->Changed(), c.flip || c.mirror);
        CLfImage expected(original), shown(start);
        for (CLfImage* image : {&expected, &shown}) {
            if (c.flip)
                image->Flip();
            if (c.mirror)
                image->Mirror();
        }
        EXPECT_TRUE(SamePixels(work, expected)) << c.presses.size();
        EXPECT_TRUE(SamePixels(dialog->Preview(), shown)) << c.presses.size();
        dialog->Destroy();
    }
}

}  // namespace
