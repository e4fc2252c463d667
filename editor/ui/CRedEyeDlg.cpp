#include "editor/ui/CRedEyeDlg.h"

#include "editor/ui/CDlgImageView.h"
#include "editor/ui/CRedEyeSmallImageView.h"
#include "editor/ui/DialogControls.h"
#include "resources/editor/DialogIds.h"
#include "resources/editor/ImageDialogs.h"

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/dcmemory.h>

#include <algorithm>

namespace {

constexpr int kZoomSide = RedEyeBox::kZoomPane;

// The zoom buttons' pictures: a magnifier with a plus or a minus in its glass.
wxBitmap MagnifierBitmap(bool plus)
{
    wxBitmap bitmap(34, 27, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(wxColour(192, 192, 192)));
    dc.Clear();
    dc.SetPen(wxPen(wxColour(96, 64, 32), 4));
    dc.DrawLine(19, 17, 27, 24);
    dc.SetPen(wxPen(*wxBLACK, 2));
    dc.SetBrush(wxBrush(wxColour(224, 240, 255)));
    dc.DrawCircle(13, 11, 9);
    dc.SetPen(wxPen(*wxBLACK, 2));
    dc.DrawLine(9, 11, 18, 11);
    if (plus)
        dc.DrawLine(13, 7, 13, 16);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

}  // namespace

CRedEyeDlg::CRedEyeDlg(wxWindow* parent, CLfImage& result)
    : m_result(result), m_working(result), m_box(result.GetWidth(), result.GetHeight())
{
    CreateDialogFromTemplate(*this, parent, edlg::RedEye());
    m_fit = FitIntoPane(kTopWidth, kTopHeight, m_working.GetWidth(), m_working.GetHeight());
    m_working.Resample(m_fit.width, m_fit.height, 2, &m_top);

    m_topPane = new CDlgImageView(this, PlaceInFrame(*this, GetControl(IDC_REDEYE_TOP_BOX), {kTopWidth, kTopHeight}, 12));
    m_topPane->SetImage(&m_top);
    m_topPane->SetDrawRect(wxRect(m_fit.drawX, m_fit.drawY, m_fit.width, m_fit.height));
    m_topPane->SetClickMode(true, wxSize(kTopWidth, kTopHeight));

    // The zoom pane shows once the box has a place.
    m_zoomPane = new CRedEyeSmallImageView(this, PlaceInFrame(*this, GetControl(IDC_REDEYE_ZOOM_BOX), {kZoomSide, kZoomSide}));
    m_zoomPane->SetImage(&m_zoom);
    m_zoomPane->SetDrawRect(wxRect(0, 0, kZoomSide, kZoomSide));
    m_zoomPane->SetClickMode(true, wxSize(kZoomSide, kZoomSide));
    m_zoomPane->Hide();

    for (const auto& [id, plus] : {std::pair{IDC_REDEYE_ZOOM_IN, true}, std::pair{IDC_REDEYE_ZOOM_OUT, false}})
        if (auto* button = DialogControl<wxButton>(*this, id)) {
            button->SetBitmap(MagnifierBitmap(plus));
            button->SetLabel(wxString());
            button->SetToolTip(plus ? "+" : "-");
        }
    for (int id : {static_cast<int>(IDC_REDEYE_FIX), static_cast<int>(IDC_REDEYE_UNFIX), 1})
        if (wxWindow* w = GetControl(id))
            w->Disable();

    Bind(EVT_DLG_IMAGE_CLICK, &CRedEyeDlg::OnPaneClick, this);
    Bind(wxEVT_BUTTON, &CRedEyeDlg::OnZoom, this, DialogControlId(IDC_REDEYE_ZOOM_IN));
    Bind(wxEVT_BUTTON, &CRedEyeDlg::OnZoom, this, DialogControlId(IDC_REDEYE_ZOOM_OUT));
    Bind(wxEVT_BUTTON, &CRedEyeDlg::OnFix, this, DialogControlId(IDC_REDEYE_FIX));
    Bind(wxEVT_BUTTON, &CRedEyeDlg::OnUnfix, this, DialogControlId(IDC_REDEYE_UNFIX));
    Bind(wxEVT_BUTTON, &CRedEyeDlg::OnOK, this, wxID_OK);
}

wxWindow* CRedEyeDlg::GetControl(int id) const { return FindWindow(DialogControlId(id)); }

// The box cut from the working image, clamped to it, enlarged to the zoom pane.
void CRedEyeDlg::ShowZoom()
{
    const RedEyeRect r = m_box.Rect();
    const int left = std::clamp(r.left, 0, m_working.GetWidth() - 1);
    const int top = std::clamp(r.top, 0, m_working.GetHeight() - 1);
    const int right = std::clamp(r.right, left + 1, m_working.GetWidth());
    const int bottom = std::clamp(r.bottom, top + 1, m_working.GetHeight());
    CLfImage cut;
    if (m_working.Crop(left, top, right, bottom, &cut))
        cut.Resample(kZoomSide, kZoomSide, 2, &m_zoom);
    m_zoomPane->Show();
    m_zoomPane->Refresh();
}

void CRedEyeDlg::EnableFix(bool fix)
{
    if (wxWindow* w = GetControl(IDC_REDEYE_FIX))
        w->Enable(fix);
    if (wxWindow* w = GetControl(IDC_REDEYE_UNFIX))
        w->Enable(!fix);
}

// After a fix or its undoing the top pane shows the full working image, stretched.
void CRedEyeDlg::ShowWorking()
{
    ShowZoom();
    m_topPane->SetImage(&m_working);
    m_topPane->Refresh();
}

void CRedEyeDlg::OnPaneClick(DlgImageClickEvent& event)
{
    if (event.GetEventObject() == m_zoomPane) {
        if (const auto click = m_zoomPane->TakeClick())
            m_box.PickZoom(click->x, click->y);
    } else if (event.GetEventObject() == m_topPane) {
        const wxPoint click = event.GetPoint();
        m_box.PickTop(click.x, click.y, m_fit.drawX, m_fit.drawY, m_fit.factor);
    } else {
        return;
    }
    EnableFix(true);
    ShowZoom();
}

void CRedEyeDlg::OnZoom(wxCommandEvent& event)
{
    const bool changed = event.GetId() == DialogControlId(IDC_REDEYE_ZOOM_IN) ? m_box.ZoomIn() : m_box.ZoomOut();
    if (changed)
        ShowZoom();
}

void CRedEyeDlg::OnFix(wxCommandEvent&)
{
    m_unfix = m_working;
    FixRedEye(m_working, m_box.Rect());
    EnableFix(false);
    ShowWorking();
    if (wxWindow* save = FindWindow(wxID_OK))
        save->Enable();
}

void CRedEyeDlg::OnUnfix(wxCommandEvent&)
{
    m_working = m_unfix;
    EnableFix(true);
    ShowWorking();
}

void CRedEyeDlg::OnOK(wxCommandEvent&)
{
    m_result = m_working;
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
}
