#include "print/ui/CPrintFrame.h"

#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "platform/ProgramStart.h"
#include "print/ui/CLockSplitterWnd.h"
#include "print/ui/CPrintBarDlg.h"
#include "print/ui/CPrintLayoutView.h"
#include "print/ui/CPrintLeftView.h"
#include "print/ui/CQKPrintView.h"
#include "print/model/PrintFrameGeometry.h"
#include "resources/manager/QuorixIcon.h"
#include "resources/print/PrintStrings.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/print.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

namespace {

constexpr int kStatusPaneWidth = 400;

wxRect OpeningRect()
{
    const wxSize screen = wxGetDisplaySize();
    const RECT r = PrintFrameGeometry::Placement(screen.x, screen.y);
    return wxRect(wxPoint(r.left, r.top), wxPoint(r.right - 1, r.bottom - 1));
}

// The print dialog, then the printer.
bool RunPrinter(wxWindow* parent, wxPrintout& printout, wxPrintDialogData& data, bool& error)
{
    wxPrinter printer(&data);
    const bool printed = printer.Print(parent, &printout, true);
    error = !printed && wxPrinter::GetLastError() == wxPRINTER_ERROR;
    data = printer.GetPrintDialogData();
    return printed;
}

}  // namespace

CPrintFrame::CPrintFrame(CQuorixDoc& doc, wxWindow* mainFrame)
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(pstr::kWindowTitle), OpeningRect().GetPosition(),
              OpeningRect().GetSize(), wxDEFAULT_FRAME_STYLE),
      m_doc(&doc), m_mainFrame(mainFrame), m_printRunner(&RunPrinter)
{
    // Window managers that honour hints stop a drag at 660 x 400; where the toolkit
    // reports the drag itself (OnSizing) a height under 400 becomes 410.
    SetSizeHints(wxSize(PrintFrameGeometry::kMinWidth, PrintFrameGeometry::kMinHeight));

    // The panes first, then the bars.
    m_splitter = new CLockSplitterWnd(this, wxID_ANY);
    const int middle = (mainFrame ? mainFrame->GetSize().x : GetSize().x) - 350;
    m_picker = new CPrintLeftView(m_splitter, this, wxSize(230, 100));
    m_splitter->SetPane(0, m_picker);
    m_splitter->Lock();
    m_pageView = new CQKPrintView(m_splitter, this, wxSize(middle, 100));
    m_splitter->SetPane(1, m_pageView);
    m_layoutList = new CPrintLayoutView(m_splitter, this, wxSize(120, 100));
    m_splitter->SetPane(2, m_layoutList);
    m_splitter->SetColumns(PrintColumns{230, middle, 120});

    SetIcon(QuorixIcon());
    m_printBar = new CPrintBarDlg(this, this);
    CreateStatusBar(1);
    const int widths[1] = {kStatusPaneWidth};
    GetStatusBar()->SetStatusWidths(1, widths);

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_printBar, 0, wxEXPAND);
    sizer->Add(m_splitter, 1, wxEXPAND);
    SetSizer(sizer);

    // The layout list first, so that the page view starts with the current layout.
    m_layoutList->LoadLayouts();
    m_pageView->InitialUpdate();

    Bind(wxEVT_CLOSE_WINDOW, &CPrintFrame::OnClose, this);
    Bind(wxEVT_SIZE, &CPrintFrame::OnSize, this);
    Bind(wxEVT_SIZING, &CPrintFrame::OnSizing, this);
    if (mainFrame)
        mainFrame->Bind(wxEVT_CLOSE_WINDOW, &CPrintFrame::OnMainFrameClose, this);
}

CPrintFrame::~CPrintFrame()
{
    if (m_mainFrame)
        m_mainFrame->Unbind(wxEVT_CLOSE_WINDOW, &CPrintFrame::OnMainFrameClose, this);
}

CPrintFrame* CPrintFrame::FindFor(const wxWindow* mainFrame)
{
    for (wxWindow* window : wxTopLevelWindows) {
        auto* frame = dynamic_cast<CPrintFrame*>(window);
        if (frame && frame->m_mainFrame == mainFrame && !wxTheApp->IsScheduledForDestruction(frame))
            return frame;
    }
    return nullptr;
}

std::string CPrintFrame::GetAppFolder() const
{
    CQuorixState* state = m_doc ? m_doc->GetAppState() : nullptr;
    return state && !state->m_strAppFolder.empty() ? state->m_strAppFolder : lfplat::ExecutableFolder();
}

void CPrintFrame::AddSelectedImages() { m_pageView->AddSelectedImages(); }
void CPrintFrame::AddToPrint() { m_pageView->AddToPrint(); }
void CPrintFrame::RemoveImage() { m_pageView->RemoveImages(); }
void CPrintFrame::RemovePage() { m_pageView->RemovePage(); }
void CPrintFrame::PrintCurrentPage() { m_pageView->Print(false); }
void CPrintFrame::PrintAllPages() { m_pageView->Print(true); }
void CPrintFrame::PreviousPage() { m_pageView->PreviousPage(); }
void CPrintFrame::NextPage() { m_pageView->NextPage(); }
void CPrintFrame::ApplyLayout() { m_pageView->ApplyLayout(); }

void CPrintFrame::ShowMessage(const std::string& text, bool information)
{
    if (m_messageSink)
        m_messageSink(text);
    else
        wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(pstr::kWindowTitle),
                     wxOK | (information ? wxICON_INFORMATION : 0), this);
}

void CPrintFrame::OnClose(wxCloseEvent& event)
{
    if (!event.CanVeto()) {
        Destroy();
        return;
    }
    // Closing only hides the window: the layout list, the marks and the layout stay.
    event.Veto();
    if (m_mainFrame)
        m_mainFrame->Show();
    Hide();
    m_pageView->ClearPage();
}

void CPrintFrame::OnSize(wxSizeEvent& event)
{
    event.Skip();
    if (!m_bSizedOnce) {
        m_bSizedOnce = true;
        return;
    }
    if (IsIconized())
        return;
    m_splitter->SetColumns(PrintFrameGeometry::Columns(GetClientSize().x));
    m_splitter->RecalcLayout();
}

void CPrintFrame::OnSizing(wxSizeEvent& event)
{
    wxRect rect = event.GetRect();
    const SIZE limited = PrintFrameGeometry::LimitDraggedSize(rect.width, rect.height);
    rect.SetSize(wxSize(limited.cx, limited.cy));
    event.SetRect(rect);
}

void CPrintFrame::OnMainFrameClose(wxCloseEvent& event)
{
    event.Skip();
    // The document goes with the main window: nothing here may reach it any more.
    m_doc = nullptr;
    Destroy();
}
