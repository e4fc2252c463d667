#pragma once
// The print window's layout list: the pictures of the page layouts of
// "LayoutConfig.txt", one under the other; a click makes a layout the current one.
// The current layout shows its highlighted picture ("h" + name).

#include "manager/model/PrintLayout.h"

#include <wx/bitmap.h>
#include <wx/scrolwin.h>

#include <memory>
#include <string>
#include <vector>

class CLfImage;
class CPrintFrame;

class CPrintLayoutView : public wxScrolledCanvas {
public:
    CPrintLayoutView(wxWindow* parent, CPrintFrame* frame, const wxSize& size);

    // Reads the layout file of the working folder into the document's layout list;
    // the entry at the document's current index becomes the current layout.
    void LoadLayouts();
    // Makes entry k current: the document takes its layout and the page view shows it.
    void SelectLayout(int k);
    // A click at a client point, as the mouse gives it.
    void Click(const wxPoint& point, bool shift);

    size_t GetCount() const { return m_records.size(); }
    const PrintLayout& GetLayout(size_t index) const { return *m_records[index]; }
    const wxBitmap& GetThumbnail(size_t index) const { return m_thumbs[index]; }

    // A picture reduced (never enlarged) and centred on a square of the pane's colour.
    static wxBitmap MakeThumbnail(const CLfImage* image, int width, int height);

private:
    // The picture of a file: tried as BMP first, then as any format.
    static wxBitmap ThumbnailOfFile(const std::string& path);
    void OnDraw(wxDC& dc) override;
    void OnLeftDown(wxMouseEvent& event);

    CPrintFrame* m_frame;  // not owned: the frame owns this pane
    std::vector<std::unique_ptr<PrintLayout>> m_records;  // record k belongs to list entry k
    std::vector<wxBitmap> m_thumbs;
};
