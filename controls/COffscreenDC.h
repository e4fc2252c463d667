#pragma once
// COffscreenDC: flicker-free drawing. A view makes one over the DC it paints on,
// draws everything into GetDrawDC(), and lets it go; its end copies the finished
// picture to the target in one transfer.
//
//   void CMyView::OnDraw(wxDC* dc)
//   {
//       COffscreenDC off(dc);
//       wxDC& d = off.GetDrawDC();
//       ...draw on d with the same logical coordinates as on dc...
//   }
//
// Memory mode buffers only the target's clip box (GetClippingBox, in logical
// units), takes over the target's mapping mode, scales and logical origin, and is
// pre-filled with the target's background brush. A printer target (wxPrinterDC,
// wxPostScriptDC) is drawn on directly, and so is a target whose clip box is empty:
// nothing is buffered or copied then. The target must outlive the object.

#include <wx/bitmap.h>
#include <wx/dcmemory.h>

class COffscreenDC : public wxMemoryDC {
public:
    explicit COffscreenDC(wxDC* target);
    ~COffscreenDC() override;
    COffscreenDC(const COffscreenDC&) = delete;
    COffscreenDC& operator=(const COffscreenDC&) = delete;

    // Where the caller draws: this memory context in memory mode, else the target.
    wxDC& GetDrawDC();
    bool IsMemoryMode() const { return m_memoryMode; }
    // The buffered area: the target's clip box in its logical units.
    wxRect GetArea() const { return m_area; }

private:
    wxBitmap m_bitmap;
    wxDC* m_target;  // not owned
    wxRect m_area;
    bool m_memoryMode = false;
};
