#include "editor/shell/CPixoroView.h"

#include "editor/shell/CChildFrame.h"
#include "editor/shell/CMainFrame.h"
#include "editor/shell/CPixoroDoc.h"
#include "editor/shell/BestFit.h"
#include "image/CLfImage.h"

#include <wx/app.h>
#include <wx/dcbuffer.h>
#include <wx/window.h>


wxIMPLEMENT_DYNAMIC_CLASS(CPixoroView, wxView);

namespace {

const wxColour kBackground(70, 70, 70);

}  // namespace

CPixoroDoc* CPixoroView::GetDocument() const { return dynamic_cast<CPixoroDoc*>(wxView::GetDocument()); }

bool CPixoroView::OnCreate(wxDocument* doc, long)
{
    auto* parent = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
    if (!parent)
        return false;
    auto* frame = new CChildFrame(doc, this, parent);
    m_canvas = new wxWindow(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE);
    m_canvas->SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_canvas->Bind(wxEVT_PAINT, &CPixoroView::OnCanvasPaint, this);
    m_canvas->Bind(wxEVT_SIZE, &CPixoroView::OnCanvasSize, this);
    SetFrame(frame);
    frame->Show(true);
    // The new image's window becomes the active one, with its menu bar.
    frame->Activate();
    return true;
}

void CPixoroView::OnUpdate(wxView*, wxObject*)
{
    m_stale = true;
    if (m_canvas)
        m_canvas->Refresh();
}

bool CPixoroView::OnClose(bool deleteWindow)
{
    if (!wxView::OnClose(deleteWindow))
        return false;
    Activate(false);
    if (m_canvas)
        m_canvas->Unbind(wxEVT_PAINT, &CPixoroView::OnCanvasPaint, this);
    if (deleteWindow && GetFrame()) {
        GetFrame()->Destroy();
        SetFrame(nullptr);
    }
    m_canvas = nullptr;
    return true;
}

void CPixoroView::OnCanvasSize(wxSizeEvent& event)
{
    m_stale = true;
    event.Skip();
}

void CPixoroView::Refit()
{
    m_stale = false;
    m_shown = wxRect();
    CPixoroDoc* doc = GetDocument();
    const CLfImage* image = doc ? doc->GetImage() : nullptr;
    if (!image || !image->IsValid() || !m_canvas)
        return;
    const wxSize area = m_canvas->GetClientSize();
    const DisplaySize size = BestFitSize(image->GetWidth(), image->GetHeight(), area.x, area.y);
    if (size.width <= 0)
        return;
    m_zoom = double(size.width) / image->GetWidth();
    m_shown = wxRect((area.x - size.width) / 2, (area.y - size.height) / 2, size.width, size.height);
    if (auto* frame = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow()))
        frame->ShowZoom(m_zoom);
}

void CPixoroView::OnCanvasPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_canvas);
    OnDraw(&dc);
}

void CPixoroView::OnDraw(wxDC* dc)
{
    if (m_stale)
        Refit();
    dc->SetBackground(wxBrush(kBackground));
    dc->Clear();
    CPixoroDoc* doc = GetDocument();
    const CLfImage* image = doc ? doc->GetImage() : nullptr;
    // Only the visible part is sampled, at the size it is shown.
    if (image && !m_shown.IsEmpty())
        image->Draw(dc, m_shown.x, m_shown.y, m_shown.width, m_shown.height);
}
