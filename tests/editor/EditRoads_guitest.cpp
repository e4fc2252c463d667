// The document's edit commands through their dialogs, answered by scripts, in the main
// window as the program builds it: what reaches the image, the undo ring and the file.
#include "editor/model/AdjustValues.h"
#include "editor/ui/CAdjustDlg.h"
#include "editor/ui/CDlgImageView.h"
#include "editor/ui/CRedEyeDlg.h"
#include "editor/ui/CRotateDlg.h"
#include "editor/ui/CMainFrame.h"
#include "editor/ui/CPixoroDoc.h"
#include "editor/ui/CPixoroDocTemplate.h"
#include "editor/model/CPixoroState.h"
#include "image/CLfImage.h"
#include "resources/editor/DialogIds.h"
#include "resources/editor/EditorIds.h"
#include "tests/editor/DialogImages.h"
#include "tests/editor/EditorFrameFixture.h"
#include "tests/editor/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <wx/docview.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/statusbr.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;
using dlgtest::SamePixels;
using lftest::PressButton;
using lftest::WhenModal;

class EditRoadsTest : public lftest::EditorFrameFixture {
protected:
    // Opens a picture written as PNG, as the program opens the file of its command line.
    CPixoroDoc* Open(const fs::path& path, const CLfImage& picture)
    {
        CLfImage copy(picture);
        EXPECT_TRUE(copy.Save(path.c_str(), lfimg::kTypePNG));
        auto* doc = dynamic_cast<CPixoroDoc*>(manager->CreateDocument(wxString::FromUTF8(path.string()), wxDOC_SILENT));
        lftest::PumpFor(std::chrono::milliseconds(30));
        return doc;
    }
    void Command(int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        frame->ProcessWindowEvent(event);
    }
    bool Enabled(int id)
    {
        wxUpdateUIEvent event(id);
        event.SetEventObject(frame);
        frame->ProcessWindowEvent(event);
        return event.GetSetEnabled() ? event.GetEnabled() : true;
    }
};

CLfImage Load(const fs::path& path)
{
    CLfImage image;
    EXPECT_TRUE(image.Load(path.c_str(), 0)) << path << ": " << image.GetLastError();
    return image;
}

// ImageMagick's result of one operation on a file.
CLfImage Magick(const fs::path& source, const std::string& operation, const fs::path& out)
{
    const std::string command = "convert '" + source.string() + "' " + operation + " '" + out.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return Load(out);
}

TEST_F(EditRoadsTest, BrightnessOkAtItsDefaultsLeavesTheImageAndPushesOneStep)
{
    CPixoroDoc* doc = Open(dir / "photo.png", dlgtest::Gradient(64, 48));
    ASSERT_NE(doc, nullptr);
    const CLfImage before(*doc->GetImage());
    EXPECT_TRUE(Enabled(ID_ADJUST_BRIGHTNESS));
    EXPECT_TRUE(Enabled(ID_ADJUST_RGB));
    EXPECT_TRUE(Enabled(ID_IMAGE_REDEYE));
    bool shown = false;
    WhenModal<CAdjustDlg>([&](CAdjustDlg& dialog) {
        shown = dialog.Settings().Kind() == AdjustKind::BrightnessContrast;
        PressButton(dialog, 1);
    });
    Command(ID_ADJUST_BRIGHTNESS);
    EXPECT_TRUE(shown);
    EXPECT_EQ(doc->GetUndo().Count(), 1);
    EXPECT_TRUE(SamePixels(*doc->GetImage(), before));
}

// Preview changes the document's image while the dialog is open; Cancel puts it back
// and nothing is pushed.
TEST_F(EditRoadsTest, PreviewThenCancelLeavesTheImageAndTheRing)
{
    struct Case {
        int command;
        int slider, previewButton;
    } cases[] = {{ID_ADJUST_BRIGHTNESS, IDC_BC_BRIGHTNESS, IDC_BC_PREVIEW_BUTTON},
                 {ID_ADJUST_RGB, IDC_RGB_RED, IDC_ADJUST_PREVIEW_BUTTON}};
    CPixoroDoc* doc = Open(dir / "photo.png", dlgtest::Gradient(64, 48));
    ASSERT_NE(doc, nullptr);
    const CLfImage before(*doc->GetImage());
    for (const Case& c : cases) {
        bool previewed = false;
        WhenModal<CAdjustDlg>([&](CAdjustDlg& dialog) {
            auto* slider = dynamic_cast<wxSlider*>(dialog.GetControl(c.slider));
            wxCommandEvent slide(wxEVT_SLIDER, slider->GetId());
            slide.SetInt(10);
            dialog.GetEventHandler()->ProcessEvent(slide);
            PressButton(dialog, c.previewButton);
            previewed = !SamePixels(*doc->GetImage(), before);
            PressButton(dialog, 2);
        });
        Command(c.command);
        EXPECT_TRUE(previewed) << c.command;
        EXPECT_EQ(doc->GetUndo().Count(), 0) << c.command;
        EXPECT_TRUE(SamePixels(*doc->GetImage(), before)) << c.command;
    }
}

// Commands that nothing sends still reach their dialogs through the document.
TEST_F(EditRoadsTest, TheUnsentBlurCommandBlursThroughItsDialog)
{
    const CLfImage picture = dlgtest::Gradient(40, 30);
    CPixoroDoc* doc = Open(dir / "photo.png", picture);
    ASSERT_NE(doc, nullptr);
    WhenModal<CAdjustDlg>([&](CAdjustDlg& dialog) {
        auto* slider = dynamic_cast<wxSlider*>(dialog.GetControl(IDC_FILTER_AMOUNT));
        wxCommandEvent slide(wxEVT_SLIDER, slider->GetId());
        slide.SetInt(1);
        dialog.GetEventHandler()->ProcessEvent(slide);
        PressButton(dialog, 1);
    });
    Command(ID_ADJUST_BLUR);
    CLfImage expected(picture);
    ASSERT_TRUE(ApplyBlur(expected, 1));
    EXPECT_TRUE(SamePixels(*doc->GetImage(), expected));
    EXPECT_EQ(doc->GetUndo().Count(), 1);
}

TEST_F(EditRoadsTest, RedEyeFixReachesTheImageAsOneStep)
{
    // A red disc on grey, in the middle of the picture.
    const CLfImage picture = dlgtest::MakeImage(120, 80, [](int x, int y) {
        const int dx = x - 60, dy = y - 40;
        return dx * dx + dy * dy <= 100 ? dlgtest::Rgb(220, 30, 40) : dlgtest::Rgb(128, 128, 128);
    });
    CPixoroDoc* doc = Open(dir / "eyes.png", picture);
    ASSERT_NE(doc, nullptr);
    WhenModal<CRedEyeDlg>([&](CRedEyeDlg& dialog) {
        // A click on the disc in the top pane.
        const PreviewFit& fit = dialog.TopFit();
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        down.SetPosition(wxPoint(fit.drawX + static_cast<int>(60 * fit.factor), fit.drawY + static_cast<int>(40 * fit.factor)));
        dialog.TopPane()->GetEventHandler()->ProcessEvent(down);
        PressButton(dialog, IDC_REDEYE_FIX);
        PressButton(dialog, 1);
    });
    Command(ID_IMAGE_REDEYE);
    EXPECT_EQ(doc->GetUndo().Count(), 1);
    const RGBQUAD centre = dlgtest::At(*doc->GetImage(), 60, 40);
    EXPECT_LT(std::abs(centre.rgbRed - centre.rgbGreen), 40) << int(centre.rgbRed) << " " << int(centre.rgbGreen);
    const RGBQUAD grey = dlgtest::At(*doc->GetImage(), 5, 5);
    EXPECT_EQ(grey.rgbRed, 128);
    EXPECT_EQ(grey.rgbBlue, 128);
}

// Rotate Right and OK, Undo, Redo and Save: the file is ImageMagick's quarter turn; the
// flips are its -flip and -flop.
TEST_F(EditRoadsTest, RotateAndFlipsSaveWhatImageMagickGives)
{
    struct Case {
        const char* name;
        bool flipMode;
        int button;
        const char* magick;
    } cases[] = {
        {"right", false, IDC_ROTATE_RIGHT, "-rotate 90"},
        {"left", false, IDC_ROTATE_LEFT, "-rotate 270"},
        {"vertical", true, IDC_ROTATE_VERTICAL, "-flip"},
        {"horizontal", true, IDC_ROTATE_HORIZONTAL, "-flop"},
    };
    const CLfImage picture = dlgtest::Gradient(64, 48);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path original = dir / (std::string(c.name) + "-original.png");
        const fs::path photo = dir / (std::string(c.name) + ".png");
        CLfImage copy(picture);
        ASSERT_TRUE(copy.Save(original.c_str(), lfimg::kTypePNG));
        CPixoroDoc* doc = Open(photo, picture);
        ASSERT_NE(doc, nullptr);
        frame->GetStatusBar()->SetStatusText("before", 0);
        WhenModal<CRotateDlg>([&](CRotateDlg& dialog) {
            if (c.flipMode) {
                auto* radio = dynamic_cast<wxRadioButton*>(dialog.GetControl(IDC_ROTATE_MODE_FLIP));
                radio->SetValue(true);
                wxCommandEvent choose(wxEVT_RADIOBUTTON, radio->GetId());
                dialog.GetEventHandler()->ProcessEvent(choose);
            }
            PressButton(dialog, c.button);
            PressButton(dialog, 1);
        });
        Command(ID_IMAGE_ROTATE);
        // The "Processing" bar stood in the first pane, which is left empty.
        EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "");
        ASSERT_EQ(doc->GetUndo().Count(), 1);
        Command(ID_EDIT_UNDO);
        EXPECT_TRUE(SamePixels(*doc->GetImage(), picture));
        Command(ID_EDIT_REDO);
        ASSERT_TRUE(doc->Save());
        const CLfImage expected = Magick(original, c.magick, dir / (std::string(c.name) + "-magick.png"));
        EXPECT_TRUE(SamePixels(Load(photo), expected));
        manager->CloseDocument(doc);
    }
}

}  // namespace
