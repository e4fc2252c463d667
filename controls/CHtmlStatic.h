#pragma once
// A static text whose window text is a small subset of HTML: <b>, <i>, <u>, <strike>,
// <font color bgcolor face size>, <br> and <a href=...> (each tag all lower or all upper
// case). It wraps words inside its client area, shows a hand over links, and a click on
// a link hands the address, without its quotes, to the browser as one argument. Links
// are not styled by the control: the markup underlines and colours them.

#include "controls/ControlDrawing.h"
#include "controls/model/HtmlLayout.h"
#include "platform/WinTypes.h"

#include <wx/control.h>

class CHtmlStatic : public wxControl {
public:
    CHtmlStatic();
    CHtmlStatic(wxWindow* parent, wxWindowID id, const wxString& markup, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);

    bool Create(wxWindow* parent, wxWindowID id, const wxString& markup, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
    // Takes the place of a static text of a dialog layout; the original is destroyed.
    bool SubclassControl(wxWindow* control);

    // The markup.
    void SetLabel(const wxString& markup) override;
    wxString GetLabel() const override { return m_markup; }

    // Default background and text colours; each returns the one it replaces. Neither
    // repaints by itself.
    virtual COLORREF SetBackgroundColor(COLORREF color);
    virtual COLORREF SetForegroundColor(COLORREF color);

    void SetLinkLauncher(LinkLauncher launcher) { m_launcher = std::move(launcher); }

    // The layout for the current text, size, font and colours.
    const HtmlLayoutResult& GetHtmlLayout();
    bool IsOverLink() const { return m_overLink; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void Invalidate();
    void OnPaint(wxPaintEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);

    wxString m_markup;
    COLORREF m_background = 0;
    COLORREF m_text = 0;
    HtmlLayoutResult m_layout;
    bool m_layoutValid = false;
    bool m_overLink = false;
    LinkLauncher m_launcher;
};

// The font of a layout piece as the toolkit draws it.
wxFont HtmlFont(const HtmlFontDesc& desc);
