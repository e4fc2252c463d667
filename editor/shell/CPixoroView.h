#pragma once
// The image window's view: shows the document's image at its size, or fitted into the
// window when it is larger, on a dark grey background.

#include <wx/gdicmn.h>
#include <wx/docview.h>

class CPixoroDoc;
class wxPaintEvent;
class wxSizeEvent;
class wxWindow;

class CPixoroView : public wxView {
    wxDECLARE_DYNAMIC_CLASS(CPixoroView);

public:
    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC* dc) override;
    void OnUpdate(wxView* sender, wxObject* hint) override;
    bool OnClose(bool deleteWindow) override;

    CPixoroDoc* GetDocument() const;
    wxWindow* GetCanvas() const { return m_canvas; }
    // The scale the image is shown at (1.0 at full size).
    double GetZoom() const { return m_zoom; }

private:
    void OnCanvasPaint(wxPaintEvent& event);
    void OnCanvasSize(wxSizeEvent& event);
    // Places the image for the canvas's present size.
    void Refit();

    wxWindow* m_canvas = nullptr;
    wxRect m_shown;  // where the image is painted in the canvas
    double m_zoom = 1.0;
    bool m_stale = true;
};
