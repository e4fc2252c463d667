#pragma once
// The document template's view. It has no window of its own: when the template makes a
// document, this view asks the main frame to fill its panes with views of that
// document. It keeps the document company while panes are replaced, so the document
// never runs out of views before it closes.

#include <wx/docview.h>

class CQuorixView : public wxView {
    wxDECLARE_DYNAMIC_CLASS(CQuorixView);

public:
    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC*) override {}
    // The document closes its views, not the other way round.
    bool OnClose(bool deleteWindow) override;
    // The main window keeps the program's title whatever the document is called.
    void OnChangeFilename() override {}
};
