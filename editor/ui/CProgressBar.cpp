#include "editor/ui/CProgressBar.h"

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/statusbr.h>

#include <algorithm>
#include <utility>

CProgressBar::CProgressBar(const wxString& label, int widthPercent, int maximum, bool smooth, int pane)
{
    Create(label, widthPercent, maximum, smooth, pane);
}

CProgressBar::~CProgressBar()
{
    RestorePane();
    if (m_gauge) {
        m_bar->Unbind(wxEVT_SIZE, &CProgressBar::OnBarSize, this);
        m_gauge->Destroy();
    }
}

void CProgressBar::OnBarSize(wxSizeEvent& event)
{
    UpdatePlacement();
    event.Skip();
}

wxStatusBar* CProgressBar::FindStatusBar()
{
    auto* frame = dynamic_cast<wxFrame*>(wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    return frame ? frame->GetStatusBar() : nullptr;
}

bool CProgressBar::Create(const wxString& label, int widthPercent, int maximum, bool smooth, int pane)
{
    if (m_gauge)
        return false;
    wxStatusBar* bar = FindStatusBar();
    if (!bar || pane < 0 || pane >= bar->GetFieldsCount())
        return false;
    wxRect field;
    bar->GetFieldRect(pane, field);
    m_gauge = new wxGauge(bar, 1, std::max(maximum, 1), field.GetPosition(), field.GetSize(),
                          wxGA_HORIZONTAL | (smooth ? wxGA_SMOOTH : 0));
    m_bar = bar;
    SetRange(0, maximum, 1);
    SetStep(1);
    m_strLabel = label;
    m_nWidthPercent = widthPercent;
    m_nPane = pane;
    m_strOldPaneText = bar->GetStatusText(pane);
    // The bar follows the status bar's size.
    bar->Bind(wxEVT_SIZE, &CProgressBar::OnBarSize, this);
    UpdatePlacement();
    return true;
}

RECT CProgressBar::Place(RECT r, int labelWidth, int blankWidth, int widthPercent)
{
    if (labelWidth > 0)
        r.left += labelWidth + 4 * blankWidth;
    r.right -= (r.right - r.left) * (100 - widthPercent) / 100;
    r.right = std::max(r.right, r.left);
    const int trim = (r.bottom - r.top) / 10;
    r.top += trim;
    r.bottom -= trim;
    return r;
}

bool CProgressBar::UpdatePlacement()
{
    if (!m_gauge || !m_bar)
        return false;
    if (m_gauge->IsShown())
        m_bar->SetStatusText(m_strLabel, m_nPane);
    wxClientDC dc(m_bar);
    dc.SetFont(m_bar->GetFont());
    const int labelWidth = m_strLabel.empty() ? 0 : dc.GetTextExtent(m_strLabel).x;
    const int blank = dc.GetTextExtent(" ").x;
    wxRect field;
    m_bar->GetFieldRect(m_nPane, field);
    const RECT placed = Place({field.x, field.y, field.GetRight() + 1, field.GetBottom() + 1}, labelWidth, blank,
                              m_nWidthPercent);
    if (placed.left != m_rcPlaced.left || placed.top != m_rcPlaced.top || placed.right != m_rcPlaced.right ||
        placed.bottom != m_rcPlaced.bottom) {
        m_gauge->SetSize(placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top);
        m_rcPlaced = placed;
    }
    return true;
}

bool CProgressBar::SetRange(int lower, int upper, int step)
{
    if (!m_gauge)
        return false;
    // The gauge counts from 0: positions are kept relative to the lower end.
    m_nLower = lower;
    m_gauge->SetRange(std::max(upper - lower, 1));
    m_nStep = step;
    return true;
}

int CProgressBar::SetStep(int step)
{
    if (!m_gauge)
        return 0;
    m_gauge->Show();
    return std::exchange(m_nStep, step);
}

int CProgressBar::SetPos(int pos)
{
    if (!m_gauge)
        return 0;
    m_gauge->Show();
    const int former = m_gauge->GetValue() + m_nLower;
    m_gauge->SetValue(std::clamp(pos - m_nLower, 0, m_gauge->GetRange()));
    Repaint();
    return former;
}

int CProgressBar::OffsetPos(int delta) { return m_gauge ? SetPos(m_gauge->GetValue() + m_nLower + delta) : 0; }

int CProgressBar::StepIt()
{
    if (!m_gauge)
        return 0;
    // Past the end, a step starts the bar again from the lower end.
    const int next = m_gauge->GetValue() + m_nStep;
    return SetPos((next > m_gauge->GetRange() ? 0 : next) + m_nLower);
}

void CProgressBar::SetLabel(const wxString& label)
{
    m_strLabel = label;
    UpdatePlacement();
}

void CProgressBar::SetWidthPercent(int percent)
{
    m_nWidthPercent = percent;
    UpdatePlacement();
}

void CProgressBar::Repaint()
{
    // A repaint per visible per cent, not per step: callers step a thousand times at once.
    const int shown = m_gauge->GetValue() * 100 / std::max(m_gauge->GetRange(), 1);
    if (shown == m_nLastShown)
        return;
    m_nLastShown = shown;
    m_bar->SetStatusText(m_strLabel, m_nPane);
    m_bar->Update();
    m_gauge->Update();
}

void CProgressBar::RestorePane()
{
    if (!m_gauge || !m_bar)
        return;
    m_gauge->Hide();
    m_bar->SetStatusText(m_nPane == 0 ? wxString() : m_strOldPaneText, m_nPane);
    m_bar->Update();
}
