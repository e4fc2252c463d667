#include "print/ui/CPrintBarDlg.h"

#include "controls/CHoverButton.h"
#include "print/ui/CPrintFrame.h"
#include "resources/print/PrintIds.h"
#include "resources/print/PrintPictures.h"
#include "resources/print/PrintStrings.h"

#include <wx/dcclient.h>

namespace {

struct BarButton {
    int id;
    int bitmap;
    const char* tooltip;
    int x, width;
};

// Left to right as they stand on the bar; "Remove Image" grows by a pixel each way once
// the bar has been resized.
constexpr std::array<BarButton, 5> kButtons{{
    {printid::kAddToPrint, printid::kBitmapAddToPrint, pstr::kTipAddToPrint, 52, 111},
    {printid::kRemoveImage, printid::kBitmapRemoveImage, pstr::kTipRemoveImage, 217, 127},
    {printid::kRemovePage, printid::kBitmapRemovePage, pstr::kTipRemovePage, 354, 115},
    {printid::kPrintPage, printid::kBitmapPrintPage, pstr::kTipPrintPage, 479, 94},
    {printid::kPrintAllPages, printid::kBitmapPrintAll, pstr::kTipPrintAll, 583, 118},
}};

constexpr COLORREF kKeyColour = 0xC0C0C0;

}  // namespace

CPrintBarDlg::CPrintBarDlg(CPrintFrame* frame, wxWindow* parent)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxSize(-1, kHeight), wxTAB_TRAVERSAL | wxBORDER_NONE),
      m_frame(frame), m_background(PrintBitmap(printid::kBitmapBarBackground))
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(wxColour(90, 174, 231));
    for (size_t i = 0; i < kButtons.size(); ++i) {
        const BarButton& b = kButtons[i];
        auto* button = new CHoverButton(this, b.id, wxString(), wxPoint(b.x, 0), wxSize(b.width, 33));
        const wxBitmap picture = PrintBitmap(b.bitmap);
        button->SetBitmaps(picture, kKeyColour, picture, kKeyColour);
        button->SetDrawBorder(false, false);
        button->SetTooltipText(wxString::FromUTF8(b.tooltip));
        m_buttons[i] = button;
    }
    PlaceButtons(false);
    Bind(wxEVT_PAINT, &CPrintBarDlg::OnPaint, this);
    Bind(wxEVT_SIZE, &CPrintBarDlg::OnSize, this);
    Bind(wxEVT_BUTTON, &CPrintBarDlg::OnButton, this);
}

CHoverButton* CPrintBarDlg::GetButton(int id) const
{
    for (size_t i = 0; i < kButtons.size(); ++i) {
        if (kButtons[i].id == id)
            return m_buttons[i];
    }
    return nullptr;
}

void CPrintBarDlg::PlaceButtons(bool resized)
{
    for (size_t i = 0; i < kButtons.size(); ++i) {
        const BarButton& b = kButtons[i];
        const bool grows = resized && b.id == printid::kRemoveImage;
        m_buttons[i]->SetSize(b.x, 0, b.width + (grows ? 1 : 0), grows ? 34 : 33);
    }
}

void CPrintBarDlg::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    if (m_background.IsOk())
        dc.DrawBitmap(m_background, 0, 0);
}

void CPrintBarDlg::OnSize(wxSizeEvent& event)
{
    event.Skip();
    if (m_buttons[0])
        PlaceButtons(true);
}

void CPrintBarDlg::OnButton(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case printid::kAddToPrint:
        m_frame->AddToPrint();
        break;
    case printid::kRemoveImage:
        m_frame->RemoveImage();
        break;
    case printid::kRemovePage:
        m_frame->RemovePage();
        break;
    case printid::kPrintPage:
        m_frame->PrintCurrentPage();
        break;
    case printid::kPrintAllPages:
        m_frame->PrintAllPages();
        break;
    default:
        event.Skip();
        break;
    }
}
