#pragma once
// A view that fills one pane of the main window's splitters. The view is the document's
// listener (updates, activation, command routing); its window is the pane. The document
// owns its views and deletes them when it closes; a pane view destroys its window with
// it, and copes with the window going first (when the frame is destroyed).
//
// A concrete pane view declares dynamic creation (wxDECLARE_DYNAMIC_CLASS), so that a
// splitter can put a new one in a pane by its class.

#include <wx/docview.h>
#include <wx/weakref.h>

class CPaneView : public wxView {
    wxDECLARE_ABSTRACT_CLASS(CPaneView);

public:
    ~CPaneView() override;

    // Attaches the view to doc and makes its window in parent; false when it cannot.
    bool CreatePane(wxWindow* parent, wxDocument* doc, const wxSize& size);
    wxWindow* GetPaneWindow() const { return m_window; }

    // A pane never closes the document: the document closes its views.
    bool OnClose(bool deleteWindow) override;
    // The main window keeps the program's title whatever the document is called.
    void OnChangeFilename() override {}
    void OnDraw(wxDC*) override {}

    // The current folder has a new search result at its end; the list views append a row.
    virtual void AddImageItem() {}

protected:
    virtual wxWindow* CreatePaneWindow(wxWindow* parent, const wxSize& size) = 0;

private:
    void OnPaneFocus(wxFocusEvent& event);
    void OnChildFocus(wxChildFocusEvent& event);

    wxWeakRef<wxWindow> m_window;
};
