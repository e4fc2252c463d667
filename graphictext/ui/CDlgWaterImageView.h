#pragma once
// The preview pane of the graphical-text dialogs: the reduced image on a dark grey
// ground with the text block laid over it, which the user drags into place. The
// position is kept as the origin on the reduced image and as the two percentages the
// full-size rendering reads.

#include "graphictext/model/GraphicTextRender.h"
#include "graphictext/model/TextRaster.h"

#include <wx/window.h>

class CLfImage;
class wxDC;

class CDlgWaterImageView : public wxWindow {
public:
    static constexpr unsigned char kBackground = 70;

    // box: the pane's place in its dialog; draw: where the reduced image lies in the pane.
    CDlgWaterImageView(wxWindow* parent, const wxRect& box, const wxRect& draw, BlendRule rule);

    // Neither image is owned: the dialog keeps them for the pane's life.
    void SetShownImage(const CLfImage* image) { m_shown = image; }
    void SetCleanImage(const CLfImage* image) { m_clean = image; }
    // The raster of the last preview, with the block's size, colour and visibility.
    void SetRaster(const TextRaster& raster, int width, int height, COLORREF colour, int visibility);

    void EnableDrag() { m_dragging = false, m_dragDisabled = false; }
    void DisableDrag() { m_dragging = false, m_dragDisabled = true; }
    bool IsDragDisabled() const { return m_dragDisabled; }
    bool IsDragging() const { return m_dragging; }

    TextPosition& Position() { return m_position; }
    const wxRect& GetDrawRect() const { return m_draw; }

    // The pane's picture: ground, image and the overlay of the block.
    void Render(wxDC& dc);
    // Repaints now (after a preview rendering).
    void RenderPreview();

    // Pointer handling in pane coordinates, as the mouse events call them (tests too).
    void ButtonDown(const wxPoint& point);
    void PointerMove(const wxPoint& point);
    void ButtonUp();

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

    const CLfImage* m_shown = nullptr;
    const CLfImage* m_clean = nullptr;
    TextRaster m_raster;
    bool m_hasRaster = false;
    COLORREF m_colour = 0;
    int m_visibility = 50;
    BlendRule m_rule;
    TextPosition m_position;
    wxRect m_draw;
    int m_rasterWidth = 0;
    int m_rasterHeight = 0;
    int m_grabX = 0;
    int m_grabY = 0;
    bool m_dragging = false;
    bool m_dragDisabled = false;
};
