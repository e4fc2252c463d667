// The copy keys through the X server, as a user presses them: the Edit menu no longer
// names Copy, so only the window's accelerators carry Ctrl+C and Ctrl+Insert.
#include "editor/ui/CPixoroDoc.h"
#include "editor/ui/CPixoroView.h"
#include "image/CLfImage.h"
#include "image/gui/LfClipboard.h"
#include "tests/editor/EditorFrameFixture.h"
#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/uiaction.h>

namespace {

class EditorCopyKeys : public lftest::EditorFrameFixture, public ::testing::WithParamInterface<int> {};

TEST_P(EditorCopyKeys, CopyThePicture)
{
    auto picture = lftest::MakePicture(33, 21, 24);
    const std::string path = (dir / "a.png").string();
    ASSERT_TRUE(picture->Save(path.c_str(), lfimg::kTypePNG));
    auto* doc = dynamic_cast<CPixoroDoc*>(manager->CreateDocument(wxString::FromUTF8(path), wxDOC_SILENT));
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(lftest::PumpUntil([&] { return doc->HasImage(); }));
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->Clear();
    wxTheClipboard->Close();
    ASSERT_FALSE(lfclip::HasImage());

    auto* view = dynamic_cast<CPixoroView*>(doc->GetFirstView());
    ASSERT_NE(view, nullptr);
    wxWindow* canvas = view->GetCanvas();
    ASSERT_NE(canvas, nullptr);
    ASSERT_TRUE(lftest::PumpUntil([&] { return canvas->IsShownOnScreen(); }));
    lftest::PumpFor(std::chrono::milliseconds(100));
    canvas->SetFocus();
    lftest::PumpFor(std::chrono::milliseconds(50));
    wxUIActionSimulator sim;
    sim.Char(GetParam(), wxMOD_CONTROL);
    EXPECT_TRUE(lftest::PumpUntil([] { return lfclip::HasImage(); }));
    CLfImage back;
    ASSERT_TRUE(lfclip::PasteImage(back));
    EXPECT_EQ(back.GetWidth(), 33);
    EXPECT_EQ(back.GetHeight(), 21);
}

INSTANTIATE_TEST_SUITE_P(Keys, EditorCopyKeys, ::testing::Values(int('C'), int(WXK_INSERT)));

}  // namespace
