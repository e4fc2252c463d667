// Every dialog of the editor, shown and laid out, logs no warning and no critical of
// the toolkit (a control squeezed below its natural size makes GTK warn).
#include "editor/model/AdjustSettings.h"
#include "editor/model/JpegOptions.h"
#include "editor/ui/CAdjustDlg.h"
#include "editor/ui/CCanvasSizeDlg.h"
#include "editor/ui/CColorChooserDlg.h"
#include "editor/ui/CFlipDlg.h"
#include "editor/ui/CJpegOptionsDlg.h"
#include "editor/ui/CPixoroAboutDlg.h"
#include "editor/ui/CRedEyeDlg.h"
#include "editor/ui/CResizeDlg.h"
#include "editor/ui/CRotateDlg.h"
#include "editor/ui/CWatermarkTextDlg.h"
#include "tests/editor/DialogImages.h"
#include "tests/support/DialogChecks.h"
#include "tests/support/GuiTest.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/statbox.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Collects the toolkit's warnings and criticals while it lives. GTK logs through GLib's
// structured log, whose writer is set once per process: it forwards to the default
// writer unless a catcher listens.
class ToolkitLogCatcher {
public:
    ToolkitLogCatcher()
    {
        static const bool installed = [] {
            g_log_set_writer_func(&ToolkitLogCatcher::Write, nullptr, nullptr);
            return true;
        }();
        (void)installed;
        Active() = this;
    }
    ~ToolkitLogCatcher() { Active() = nullptr; }
    ToolkitLogCatcher(const ToolkitLogCatcher&) = delete;
    ToolkitLogCatcher& operator=(const ToolkitLogCatcher&) = delete;

    std::vector<std::string> messages;

private:
    static ToolkitLogCatcher*& Active()
    {
        static ToolkitLogCatcher* active = nullptr;
        return active;
    }
    static GLogWriterOutput Write(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data)
    {
        ToolkitLogCatcher* catcher = Active();
        if (catcher && (level & (G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR)) != 0) {
            std::string text;
            for (gsize i = 0; i < count; ++i)
                if (std::string_view(fields[i].key) == "MESSAGE" && fields[i].length < 0)
                    text = static_cast<const char*>(fields[i].value);
            catcher->messages.push_back(text);
        }
        return g_log_writer_default(level, fields, count, data);
    }
};

// Controls that overlap a group box without lying in it (a pane drawn over a frame's
// caption or edge); a pixel or two of touching is allowed.
std::vector<std::string> OverlapsOfGroupBoxes(const wxDialog& dialog)
{
    std::vector<std::string> found;
    for (const wxWindow* frame : dialog.GetChildren()) {
        if (!dynamic_cast<const wxStaticBox*>(frame))
            continue;
        const wxRect box = frame->GetRect();
        for (const wxWindow* other : dialog.GetChildren()) {
            if (other == frame || other->IsTopLevel() || !other->IsShown())
                continue;
            const wxRect r = other->GetRect();
            // Lying in the frame, or a frame around it.
            if (box.Contains(r.x + r.width / 2, r.y + r.height / 2) ||
                r.Contains(box.x + box.width / 2, box.y + box.height / 2))
                continue;
            if (wxRect(box).Deflate(2).Intersects(wxRect(r).Deflate(2)))
                found.push_back(frame->GetLabel().utf8_string() + " / " +
                                wxString(other->GetClassInfo()->GetClassName()).utf8_string() + " " +
                                other->GetLabel().utf8_string());
        }
    }
    return found;
}

TEST(EditorDialogs, EveryDialogShowsWithoutAToolkitWarning)
{
    CLfImage work = dlgtest::Gradient(120, 80);
    CLfImage current = dlgtest::Gradient(120, 80);
    const auto noMessage = [](const char*) {};
    const std::vector<std::pair<const char*, std::function<wxDialog*()>>> dialogs = {
        {"brightness/contrast",
         [&] { return new CAdjustDlg(nullptr, AdjustKind::BrightnessContrast, work, &current, [] {}, noMessage); }},
        {"red/green/blue",
         [&] { return new CAdjustDlg(nullptr, AdjustKind::RedGreenBlue, work, &current, [] {}, noMessage); }},
        {"canvas size", [&] { return new CCanvasSizeDlg(nullptr, work, noMessage); }},
        {"colour chooser", [&] { return new CColorChooserDlg(nullptr, RGB(255, 0, 0)); }},
        {"flip", [&] { return new CFlipDlg(nullptr, work); }},
        {"JPEG options", [&] { return new CJpegOptionsDlg(nullptr, JpegOptions(), true); }},
        {"about", [&] { return new CPixoroAboutDlg(nullptr); }},
        {"red eye", [&] { return new CRedEyeDlg(nullptr, work); }},
        {"resize", [&] { return new CResizeDlg(nullptr, 1200, 800, noMessage); }},
        {"rotate", [&] { return new CRotateDlg(nullptr, work, noMessage); }},
        {"graphical text", [&] { return new CWatermarkTextDlg(nullptr, work, "/x/photo.jpg"); }},
    };
    for (const auto& [name, make] : dialogs) {
        ToolkitLogCatcher log;
        wxDialog* dialog = make();
        dialog->Show();
        lftest::PumpFor(std::chrono::milliseconds(150));
        for (const std::string& overlap : OverlapsOfGroupBoxes(*dialog))
            ADD_FAILURE() << name << ": overlaps " << overlap;
        for (const std::string& spin : lftest::SpinsOffTheirFields(*dialog))
            ADD_FAILURE() << name << ": spin off its field " << spin;
        dialog->Destroy();
        lftest::PumpFor(std::chrono::milliseconds(20));
        EXPECT_TRUE(log.messages.empty()) << name << ": " << log.messages.size() << " toolkit messages, first: "
                                          << (log.messages.empty() ? "" : log.messages.front());
    }
}

}  // namespace
