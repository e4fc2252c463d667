#include "editor/ui/CPixoroView.h"

#include "controls/COffscreenDC.h"
#include "editor/ui/CChildFrame.h"
#include "editor/ui/CMainFrame.h"
#include "editor/ui/CPixoroDoc.h"
#include "editor/ui/CPixoroPrintout.h"
#include "editor/model/CPixoroState.h"
#include "editor/ui/ViewCursors.h"
#include "image/CLfImage.h"
#include "image/gui/LfClipboard.h"
#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorStrings.h"

#include <wx/app.h>
#include <wx/dc.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/pen.h>
#include <wx/utils.h>
#include <wx/window.h>

wxIMPLEMENT_DYNAMIC_CLASS(CPixoroView, CZoomView);

wxBEGIN_EVENT_TABLE(CPixoroView, CZoomView)
    EVT_MENU(ID_VIEW_ZOOMIN, CPixoroView::OnZoomIn)
    EVT_MENU(ID_VIEW_ZOOMOUT, CPixoroView::OnZoomOut)
    EVT_MENU(ID_VIEW_FULLSIZE, CPixoroView::OnFullSize)
    EVT_MENU(ID_VIEW_BESTFIT, CPixoroView::OnBestFit)
    EVT_MENU(ID_VIEW_FITWIDTH, CPixoroView::OnFitWidth)
    EVT_MENU(ID_VIEW_FITHEIGHT, CPixoroView::OnFitHeight)
    EVT_MENU(ID_IMAGE_CROP, CPixoroView::OnCrop)
    EVT_MENU(ID_VIEW_SCROLLTOOL, CPixoroView::OnScrollTool)
    EVT_MENU(ID_VIEW_NEXT, CPixoroView::OnNext)
    EVT_MENU(ID_VIEW_PREVIOUS, CPixoroView::OnPrevious)
    EVT_MENU(ID_EDIT_COPY, CPixoroView::OnEditCopy)
    EVT_MENU(ID_EDIT_PASTE_INTO, CPixoroView::OnPasteNothing)
    EVT_MENU(ID_EDIT_PASTE_NEW_VIEW, CPixoroView::OnPasteNothing)
    EVT_UPDATE_UI(ID_VIEW_BESTFIT, CPixoroView::OnUpdateBestFit)
    EVT_UPDATE_UI(ID_VIEW_FITWIDTH, CPixoroView::OnUpdateFitWidth)
    EVT_UPDATE_UI(ID_VIEW_FITHEIGHT, CPixoroView::OnUpdateFitHeight)
    EVT_UPDATE_UI(ID_IMAGE_CROP, CPixoroView::OnUpdateCrop)
wxEND_EVENT_TABLE()

namespace {

constexpr COLORREF kBackground = RGB(70, 70, 70);
const wxColour kBoxColour(25, 25, 10);

CMainFrame* MainFrame() { return dynamic_cast<CMainFrame*>(wxTheApp ? wxTheApp->GetTopWindow() : nullptr); }

wxPoint ToWx(POINT p) { return {p.x, p.y}; }

}  // namespace

CPixoroView::CPixoroView() = default;

CPixoroView::~CPixoroView()
{
    m_overlayTimer.Stop();
}

CPixoroDoc* CPixoroView::GetDocument() const { return dynamic_cast<CPixoroDoc*>(wxView::GetDocument()); }

bool CPixoroView::OnCreate(wxDocument* doc, long)
{
    CMainFrame* parent = MainFrame();
    auto* document = dynamic_cast<CPixoroDoc*>(doc);
    if (!parent || !document)
        return false;
    CPixoroState& state = document->GetState();
    ImageViewController::Host& host = *this;
    m_controller = std::make_unique<ImageViewController>(
        host,
        ViewLinks{state.m_nViewMode, state.m_nFitMode, state.m_bSteppedImage, state.m_bBestFitSuspended,
                  state.m_bImageLoaded, state.m_bRefitOnLoad, document->m_bNewLayout, document->m_bSizeChanged},
        Mapping());
    m_handCursor = ViewCursors::Hand();
    m_cropCursor = ViewCursors::Crop();
    auto* frame = new CChildFrame(doc, this, parent);
    CreateCanvas(frame);
    SetFrame(frame);
    m_overlayTimer.SetOwner(this, kOverlayTimerId);
    Bind(wxEVT_TIMER, &CPixoroView::OnOverlayTimer, this, kOverlayTimerId);
    m_overlayTimer.Start(kOverlayPeriodMs);
    frame->Show(true);
    // The new image's window becomes the active one, with its menu bar.
    frame->Activate();
    return true;
}

bool CPixoroView::OnClose(bool deleteWindow)
{
    if (!wxView::OnClose(deleteWindow))
        return false;
    m_overlayTimer.Stop();
    Activate(false);
    ReleaseCanvas();
    if (deleteWindow && GetFrame()) {
        GetFrame()->Destroy();
        SetFrame(nullptr);
    }
    return true;
}

void CPixoroView::OnUpdate(wxView*, wxObject* hint)
{
    if (!m_controller)
        return;
    const auto* h = dynamic_cast<const CPixoroHint*>(hint);
    m_controller->OnUpdate(h ? h->m_hint : CPixoroDocModel::kHintLayout);
}

double CPixoroView::GetZoom() const { return m_controller ? m_controller->ActiveScale() : 1.0; }

// ---- Painting ------------------------------------------------------------------------

void CPixoroView::MakePicture()
{
    const CLfImage* image = Image();
    const RECT area = m_controller->VisibleDisplayArea();
    const uint64_t generation = m_controller->PictureGeneration();
    const bool same = m_picture.IsOk() && generation == m_pictureGeneration && area.left == m_pictureArea.left &&
                      area.top == m_pictureArea.top && area.right == m_pictureArea.right &&
                      area.bottom == m_pictureArea.bottom;
    if (same || !image)
        return;
    m_pictureGeneration = generation;
    m_pictureArea = area;
    m_picture = wxBitmap();
    if (!m_maker.Make(*image, m_controller->ActiveScale(), area, kBackground, m_rgb))
        return;
    // The image borrows the buffer; the bitmap takes a copy of it.
    const wxImage rows(area.right - area.left, area.bottom - area.top, m_rgb.data(), true);
    m_picture = wxBitmap(rows, 24);
    ++m_nPictureBuilds;
}

void CPixoroView::OnDraw(wxDC* dc)
{
    if (!m_controller || !GetCanvas())
        return;
    COffscreenDC offscreen(dc);
    wxDC& d = offscreen.GetDrawDC();
    const wxSize client = GetCanvas()->GetClientSize();
    d.SetPen(*wxTRANSPARENT_PEN);
    d.SetBrush(wxBrush(wxColour(GetRValue(kBackground), GetGValue(kBackground), GetBValue(kBackground))));
    d.DrawRectangle(0, 0, client.x, client.y);
    m_bInPaint = true;
    const bool prepared = m_controller->PreparePaint();
    m_bInPaint = false;
    if (prepared) {
        MakePicture();
        if (m_picture.IsOk())
            d.DrawBitmap(m_picture, 0, 0);
        DrawOverlay(d);
        m_bPainted = true;
        m_paintedOverlay = OverlayKey();
    }
    DrawRubberBand(d);
}

void CPixoroView::DrawOverlay(wxDC& dc) const
{
    const CSelectionTracker& tracker = m_controller->Tracker();
    const int tool = m_controller->ToolMode();
    const bool outline = tool == ImageViewController::kToolCropDrawing;
    const bool handles = tool == ImageViewController::kToolCropReady && !m_controller->HideCropBox();
    if ((!outline && !handles) || !tracker.HasBox())
        return;
    const POINT scroll = m_controller->CanvasOffset();
    const RECT box = tracker.Box();
    const auto corners = CSelectionTracker::Outline(box, scroll);
    wxPoint points[5];
    for (size_t i = 0; i < 4; ++i)
        points[i] = ToWx(corners[i]);
    points[4] = points[0];
    // A light line under a dashed dark one shows on any picture.
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(*wxWHITE, 1));
    dc.DrawLines(5, points);
    dc.SetPen(wxPen(kBoxColour, 1, wxPENSTYLE_SHORT_DASH));
    dc.DrawLines(5, points);
    if (!handles)
        return;
    dc.SetPen(wxPen(kBoxColour, 1));
    dc.SetBrush(*wxWHITE_BRUSH);
    for (const RECT& h : CSelectionTracker::Handles(box, tracker.Center(), tracker.HandleSize(), scroll))
        dc.DrawRectangle(h.left, h.top, h.right - h.left, h.bottom - h.top);
}

std::vector<int32_t> CPixoroView::OverlayKey() const
{
    const CSelectionTracker& tracker = m_controller->Tracker();
    const RECT box = tracker.Box();
    const POINT scroll = m_controller->CanvasOffset();
    return {m_controller->ToolMode(), m_controller->HideCropBox(), tracker.HasBox(), box.left, box.top, box.right,
            box.bottom, scroll.x, scroll.y};
}

void CPixoroView::OnOverlayTimer(wxTimerEvent&)
{
    // The paint draws the box; a tick after it repaints only when the box changed
    // since without a repaint being asked for.
    if (!m_bPainted || !m_controller)
        return;
    m_bPainted = false;
    if (OverlayKey() != m_paintedOverlay)
        InvalidateCanvas(false);
}

void CPixoroView::OnCanvasSize(SIZE client)
{
    if (m_controller)
        m_controller->OnSize(client);
    else
        CZoomView::OnCanvasSize(client);
}

// ---- Printing ------------------------------------------------------------------------

wxPrintout* CPixoroView::OnCreatePrintout() { return new CPixoroPrintout(this); }

void CPixoroView::DrawForPrint(wxDC& dc, SIZE page) const
{
    const CLfImage* image = Image();
    if (!image || !image->IsValid())
        return;
    const RECT r = ImageViewController::PrintPlacement({image->GetWidth(), image->GetHeight()}, page);
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    // Transparency is flattened onto the paper's white.
    CLfImage copy(*image);
    copy.info.transColor = RGBQUAD{255, 255, 255, 0};
    copy.AlphaStrip();
    copy.Stretch(&dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// ---- Host ------------------------------------------------------------------------------

void CPixoroView::ApplyScrollBars(SIZE range, SIZE page, SIZE line, POINT position)
{
    CZoomView::ApplyScrollBars(range, page, line, position);
}

void CPixoroView::Beep()
{
    ++m_nBeeps;
    wxBell();
}

void CPixoroView::SetViewCursor(ViewCursor cursor)
{
    wxWindow* canvas = GetCanvas();
    if (!canvas)
        return;
    switch (cursor) {
    case ViewCursor::Hand: canvas->SetCursor(m_handCursor); break;
    case ViewCursor::Crop: canvas->SetCursor(m_cropCursor); break;
    case ViewCursor::SizeNS: canvas->SetCursor(wxCursor(wxCURSOR_SIZENS)); break;
    case ViewCursor::SizeWE: canvas->SetCursor(wxCursor(wxCURSOR_SIZEWE)); break;
    case ViewCursor::SizeNESW: canvas->SetCursor(wxCursor(wxCURSOR_SIZENESW)); break;
    case ViewCursor::SizeNWSE: canvas->SetCursor(wxCursor(wxCURSOR_SIZENWSE)); break;
    case ViewCursor::SizeAll: canvas->SetCursor(wxCursor(wxCURSOR_SIZING)); break;
    case ViewCursor::Cross: canvas->SetCursor(wxCursor(wxCURSOR_CROSS)); break;
    case ViewCursor::Arrow: canvas->SetCursor(wxCursor(wxCURSOR_ARROW)); break;
    }
}

void CPixoroView::SetStatusText(const std::string& text)
{
    if (CMainFrame* frame = MainFrame())
        frame->SetStatusText(wxString::FromUTF8(text), 0);
}

void CPixoroView::ShowMessage(const std::string& text, const std::string& caption)
{
    if (m_messageSink) {
        m_messageSink(text, caption);
        return;
    }
    wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(caption), wxOK | wxICON_INFORMATION | wxSTAY_ON_TOP,
                 GetFrame());
}

const CLfImage* CPixoroView::Image() const
{
    const CPixoroDoc* doc = GetDocument();
    const CLfImage* image = doc ? doc->GetImage() : nullptr;
    return image && image->IsValid() ? image : nullptr;
}

void CPixoroView::UpdateStatus()
{
    // A status pane redraws itself at once when its text changes, and a redraw inside
    // this view's paint crashes the toolkit: during a paint the texts follow just after.
    if (m_bInPaint) {
        if (!m_bStatusQueued) {
            m_bStatusQueued = true;
            CallAfter([this] {
                m_bStatusQueued = false;
                UpdateStatus();
            });
        }
        return;
    }
    if (CPixoroDoc* doc = GetDocument())
        doc->UpdateStatus();
    if (CMainFrame* frame = MainFrame())
        frame->ShowZoom(GetZoom());
}

bool CPixoroView::CropImage(RECT rect)
{
    CPixoroDoc* doc = GetDocument();
    CLfImage* image = doc ? doc->GetImage() : nullptr;
    if (!image || !image->IsValid())
        return false;
    CLfImage cropped;
    if (!image->Crop(rect.left, rect.top, rect.right, rect.bottom, &cropped) || !cropped.IsValid())
        return false;
    // The undo step is taken only now that there is a result to replace the image with.
    doc->SubmitUndo();
    image->Transfer(cropped);
    CPixoroHint hint(CPixoroDocModel::kHintLayout);
    doc->UpdateAllViews(nullptr, &hint);
    doc->UpdateStatus();
    return true;
}

int CPixoroView::CurrentFile() const
{
    const CPixoroDoc* doc = GetDocument();
    return doc ? doc->m_nCurrentFile : -1;
}

int CPixoroView::FileCount() const
{
    const CPixoroDoc* doc = GetDocument();
    return doc ? doc->GetFiles().Count() : 0;
}

bool CPixoroView::StepToFile(int index)
{
    CPixoroDoc* doc = GetDocument();
    return doc && doc->StepToFile(index);
}

// ---- Commands --------------------------------------------------------------------------

void CPixoroView::OnEditCopy(wxCommandEvent&)
{
    const CLfImage* image = Image();
    if (!image)
        return;
    if (!lfclip::CopyImage(*image))
        ShowMessage("Unable to set Clipboard data", estr::kAppTitle);
}

void CPixoroView::OnUpdateBestFit(wxUpdateUIEvent& event)
{
    event.Check(m_controller && GetDocument() && GetDocument()->GetState().m_nViewMode == 1);
}

void CPixoroView::OnUpdateFitWidth(wxUpdateUIEvent& event)
{
    event.Check(GetDocument() && GetDocument()->GetState().m_nFitMode == ImageViewController::kFitWidth);
}

void CPixoroView::OnUpdateFitHeight(wxUpdateUIEvent& event)
{
    event.Check(GetDocument() && GetDocument()->GetState().m_nFitMode == ImageViewController::kFitHeight);
}

void CPixoroView::OnUpdateCrop(wxUpdateUIEvent& event)
{
    event.Check(m_controller && m_controller->UpdateCropTick());
}
