#include "resources/editor/EditorDialogs.h"
#include "resources/editor/ImageDialogs.h"
#include "resources/manager/BatchDialogs.h"
#include "resources/manager/ManagerDialogs.h"
#include "resources/editor/TextDialog.h"
#include "resources/manager/UploadDialogs.h"
#include "resources/manager/WatermarkDialogs.h"
#include "tests/support/DialogChecks.h"

#include <gtest/gtest.h>
#include <wx/artprov.h>
#include <wx/dialog.h>
#include <wx/icon.h>

namespace {

struct Table {
    const char* name;
    const DialogTemplate& layout;
};

// Each layout table of the programs, made into a dialog as its dialog class makes it:
// every static text shows the whole text the table gives it, in the toolkit's fonts.
TEST(DialogLayouts, EveryTableShowsItsTextsWhole)
{
    const Table tables[] = {
        {"manager About", mdlg::About()},
        {"manager Message", mdlg::Message()},
        {"manager Delete History", mdlg::DeleteHistory()},
        {"manager Batch Rename", mdlg::BatchRename()},
        {"manager Batch Resize", mdlg::BatchResize()},
        {"manager Search By", mdlg::SearchBy()},
        {"manager Copy or Move", mdlg::CopyMove()},
        {"manager File Operation", mdlg::FileOperation()},
        {"manager Destination", mdlg::Destination()},
        {"manager Rename", mdlg::Rename()},
        {"manager Upload", mdlg::Upload()},
        {"manager Compression", mdlg::Compression()},
        {"manager Server Message", mdlg::ServerMessage()},
        {"manager Proxy Setting", mdlg::ProxySetting()},
        {"manager News", mdlg::News()},
        {"editor About", edlg::About()},
        {"editor JPEG options", edlg::JpegOptions()},
        {"editor Rotate", edlg::Rotate()},
        {"editor Resize", edlg::Resize()},
    };
    const wxIcon icon = wxArtProvider::GetIcon(wxART_INFORMATION, wxART_MESSAGE_BOX);
    for (const Table& t : tables) {
        SCOPED_TRACE(t.name);
        wxDialog dialog;
        ASSERT_TRUE(CreateDialogFromTemplate(dialog, nullptr, t.layout, &icon));
        // The controls are made in the table's order, one each.
        const wxWindowList& controls = dialog.GetChildren();
        ASSERT_EQ(controls.size(), t.layout.items.size());
        size_t i = 0;
        for (wxWindow* control : controls) {
            const DlgItem& item = t.layout.items[i++];
            if (item.kind == DlgItemKind::Static) {
                EXPECT_EQ(lftest::OneLine(control->GetLabel()), wxString::FromUTF8(item.text));
            }
        }
        lftest::ExpectWholeTexts(dialog);
        const wxPoint client = dialog.ConvertDialogToPixels(wxPoint(t.layout.width, t.layout.height));
        EXPECT_GE(dialog.GetClientSize().x, client.x);
        EXPECT_GE(dialog.GetClientSize().y, client.y);
    }
}

// Arrows of a field sit beside it, centred on it, however tall the toolkit makes them.
TEST(DialogLayouts, SpinArrowsAreCentredOnTheirFields)
{
    const Table tables[] = {
        {"manager Batch Resize", mdlg::BatchResize()},
        {"manager Watermark", mdlg::Watermark()},
        {"editor Resize", edlg::Resize()},
        {"editor Text", edlg::WatermarkText()},
        {"editor Brightness/Contrast", edlg::BrightnessContrast()},
        {"editor Red/Green/Blue", edlg::RedGreenBlue()},
        {"editor Hue/Saturation", edlg::HueSaturation()},
        {"editor Exposure", edlg::Exposure()},
        {"editor Blur", edlg::Blur()},
        {"editor Canvas Size", edlg::CanvasSize()},
        {"editor Colour Chooser", edlg::ColorChooser()},
    };
    for (const Table& t : tables) {
        SCOPED_TRACE(t.name);
        wxDialog dialog;
        ASSERT_TRUE(CreateDialogFromTemplate(dialog, nullptr, t.layout));
        dialog.Show();
        lftest::PumpFor(std::chrono::milliseconds(50));
        int pairs = 0;
        EXPECT_EQ(lftest::SpinsOffTheirFields(dialog, &pairs), std::vector<std::string>{});
        EXPECT_GT(pairs, 0);
        dialog.Hide();
    }
}

}  // namespace
