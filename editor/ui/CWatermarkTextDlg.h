#pragma once
// Adds graphical text to the editor's image: the text and its look are set and placed
// on a reduced copy in the preview pane, and "Apply Text" renders it at full size on
// the dialog's worker. The rendering goes into a scratch copy; only when it completes
// does the dialog's image take it and the dialog end with OK. Cancel (also during the
// rendering) ends with Cancel and leaves the image as it came.

#include "graphictext/ui/CGraphicTextDlg.h"

#include <atomic>
#include <string>

class wxGauge;
class wxStaticText;

class CWatermarkTextDlg : public CGraphicTextDlg {
public:
    // image: the copy of the document's image the dialog works on (a grey image already
    // raised to 24 bits); documentPath: the document's file, named in the status text.
    CWatermarkTextDlg(wxWindow* parent, CLfImage& image, std::string documentPath);
    ~CWatermarkTextDlg() override;

    // "Apply Text": starts the full-size rendering; false when it cannot start.
    bool ApplyText();

    wxStaticText* GetStatus() const { return m_status; }

private:
    void OnApply(wxCommandEvent& event);
    void Finished();
    void EnableStep(bool enable) override;
    std::string FileName() const;

    CLfImage& m_image;
    std::string m_path;
    CLfImage m_scratch;  // the worker's; read only once it is joined
    std::atomic<bool> m_completed{false};
    wxGauge* m_progress = nullptr;
    wxStaticText* m_status = nullptr;
};
