#pragma once
// A preview pane inside an image dialog: one image, owned by the dialog, drawn stretched
// to a fixed rectangle on a dark grey background. In click mode a left click is reported
// to the owner as a DlgImageClickEvent; the pane never captures the mouse.

#include <wx/event.h>
#include <wx/window.h>

class CLfImage;

class DlgImageClickEvent : public wxCommandEvent {
public:
    DlgImageClickEvent(wxEventType type, int id, const wxPoint& point) : wxCommandEvent(type, id), m_point(point) {}
    wxEvent* Clone() const override { return new DlgImageClickEvent(*this); }
    // Pane client coordinates.
    wxPoint GetPoint() const { return m_point; }

private:
    wxPoint m_point;
};
wxDECLARE_EVENT(EVT_DLG_IMAGE_CLICK, DlgImageClickEvent);

class CDlgImageView : public wxWindow {
public:
    static constexpr unsigned char kBackground = 70;

    CDlgImageView(wxWindow* owner, const wxRect& place);

    // The image is the owner's; it must outlive the pane or be replaced first.
    void SetImage(const CLfImage* image) { m_image = image; }
    const CLfImage* GetImage() const { return m_image; }
    void SetDrawRect(const wxRect& rect) { m_draw = rect; }
    const wxRect& GetDrawRect() const { return m_draw; }
    // Click mode: clicks strictly inside (0, 0)-bound are reported to the owner.
    void SetClickMode(bool on, const wxSize& bound = wxSize());
    bool GetClickMode() const { return m_clickMode; }

    // The pane's picture: background and image, as painted.
    void Render(wxDC& dc) const;

protected:
    bool InBound(const wxPoint& point) const;
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);

    const CLfImage* m_image = nullptr;
    wxRect m_draw;
    bool m_clickMode = false;
    wxSize m_bound;
};
