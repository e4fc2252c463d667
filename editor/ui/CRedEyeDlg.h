#pragma once
// Takes red eyes out of the image: a click on an eye in the reduced picture (top pane)
// places a square box around it, shown enlarged in the zoom pane, where "+" and "-" size
// it and a click re-centres it; Fix takes the colour out of the reddish pixels inside the
// circle the box encloses, and Unfix takes the last fix back. Several eyes can be fixed
// before "Save All Changes". The document's image is never touched here.

#include "editor/model/PreviewFit.h"
#include "editor/model/RedEyeModel.h"
#include "image/CLfImage.h"

#include <wx/dialog.h>

class CDlgImageView;
class CRedEyeSmallImageView;
class DlgImageClickEvent;

class CRedEyeDlg : public wxDialog {
public:
    static constexpr int kTopWidth = 350;
    static constexpr int kTopHeight = 215;

    // result: the caller's full copy of the image; it receives every fix on OK and is
    // left alone otherwise.
    CRedEyeDlg(wxWindow* parent, CLfImage& result);

    wxWindow* GetControl(int id) const;
    CDlgImageView* TopPane() const { return m_topPane; }
    CRedEyeSmallImageView* ZoomPane() const { return m_zoomPane; }
    const RedEyeBox& Box() const { return m_box; }
    const PreviewFit& TopFit() const { return m_fit; }
    const CLfImage& Working() const { return m_working; }
    const CLfImage& ZoomImage() const { return m_zoom; }

private:
    void ShowZoom();
    void EnableFix(bool fix);
    void ShowWorking();
    void OnPaneClick(DlgImageClickEvent& event);
    void OnZoom(wxCommandEvent& event);
    void OnFix(wxCommandEvent& event);
    void OnUnfix(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);

    CLfImage& m_result;
    CLfImage m_working;  // full size; the fixes go here
    CLfImage m_unfix;    // before the last fix
    CLfImage m_top;      // the image fitted to the top pane
    CLfImage m_zoom;     // the box enlarged to the zoom pane
    RedEyeBox m_box;
    PreviewFit m_fit;
    CDlgImageView* m_topPane = nullptr;
    CRedEyeSmallImageView* m_zoomPane = nullptr;
};
