#include "controls/COffscreenDC.h"

#include <wx/dcprint.h>
#include <wx/dcps.h>

#include <algorithm>
#include <cmath>

namespace {

bool IsPrinterDC(const wxDC& dc)
{
    if (dc.IsKindOf(wxCLASSINFO(wxPrinterDC)))
        return true;
#if wxUSE_POSTSCRIPT
    if (dc.IsKindOf(wxCLASSINFO(wxPostScriptDC)))
        return true;
#endif
    return false;
}

}  // namespace

COffscreenDC::COffscreenDC(wxDC* target) : wxMemoryDC(target), m_target(target)
{
    if (!m_target || !m_target->IsOk())
        return;
    m_target->GetClippingBox(m_area);
    if (IsPrinterDC(*m_target) || m_area.IsEmpty()) {
        if (!m_area.IsEmpty()) {
            // Printers draw straight on the page, pre-filled as the memory mode is.
            const wxBrush& background = m_target->GetBackground();
            if (background.IsOk()) {
                const wxPen pen = m_target->GetPen();
                const wxBrush brush = m_target->GetBrush();
                m_target->SetPen(*wxTRANSPARENT_PEN);
                m_target->SetBrush(background);
                m_target->DrawRectangle(m_area);
                m_target->SetPen(pen);
                m_target->SetBrush(brush);
            }
        }
        return;
    }

    // The bitmap covers the area in device pixels.
    const int devWidth = std::max(1, std::abs(m_target->LogicalToDeviceXRel(m_area.width)));
    const int devHeight = std::max(1, std::abs(m_target->LogicalToDeviceYRel(m_area.height)));
    m_bitmap.Create(devWidth, devHeight, 24);
    if (!m_bitmap.IsOk())
        return;
    SelectObject(m_bitmap);
    if (!IsOk())
        return;

    // The target's logical coordinates, with the area's corner at the bitmap's origin.
    double sx = 1, sy = 1;
    SetMapMode(m_target->GetMapMode());
    m_target->GetLogicalScale(&sx, &sy);
    SetLogicalScale(sx, sy);
    m_target->GetUserScale(&sx, &sy);
    SetUserScale(sx, sy);
    SetDeviceOrigin(0, 0);
    SetLogicalOrigin(m_area.x, m_area.y);

    const wxBrush& background = m_target->GetBackground();
    SetBackground(background.IsOk() ? background : *wxWHITE_BRUSH);
    Clear();
    m_memoryMode = true;
}

COffscreenDC::~COffscreenDC()
{
    if (m_memoryMode) {
        m_target->Blit(m_area.x, m_area.y, m_area.width, m_area.height, this, m_area.x, m_area.y);
        SelectObject(wxNullBitmap);
    }
}

wxDC& COffscreenDC::GetDrawDC()
{
    if (m_memoryMode || !m_target)
        return *this;
    return *m_target;
}
