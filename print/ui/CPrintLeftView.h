#pragma once
// The print window's image picker: every image of the manager's current folder as a
// card in two columns. A click sets the print marks (Ctrl toggles, Shift marks a run);
// a double click adds the marked images to the pages.

#include "manager/ui/ImageCards.h"

#include <wx/bitmap.h>
#include <wx/scrolwin.h>

class CFolderItem;
class CPrintFrame;

class CPrintLeftView : public wxScrolledCanvas {
public:
    CPrintLeftView(wxWindow* parent, CPrintFrame* frame, const wxSize& size);

    // The card index under a client point, or -1.
    int HitCard(const wxPoint& point) const;

private:
    CFolderItem* Folder() const;
    void OnDraw(wxDC& dc) override;
    void OnLeftDown(wxMouseEvent& event);
    void OnDoubleClick(wxMouseEvent& event);
    void RefreshCard(int index);

    CPrintFrame* m_frame;  // not owned: the frame owns this pane
    wxBitmap m_card;
    wxBitmap m_markedCard;
    imagecards::ThumbnailBitmaps m_thumbs;
};
