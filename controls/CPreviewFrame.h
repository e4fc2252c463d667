#pragma once
// The print preview window. The toolkit sizes it to the page only once it is initialised,
// after it has been placed for its smaller default size, so a tall page left its lower
// part below the screen: once sized, it is centred on its display and fitted onto it.

#include <wx/print.h>

class CPreviewFrame : public wxPreviewFrame {
public:
    CPreviewFrame(wxPrintPreviewBase* preview, wxWindow* parent, const wxString& title);

    void Initialize() override;
};
