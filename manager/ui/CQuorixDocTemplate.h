#pragma once
// The single-document template: CQuorixDoc with CQuorixView, in the main frame. Documents
// it makes know the application's shared state and read the session file of the
// working folder.

#include <wx/docview.h>

class CQuorixState;

class CQuorixDocTemplate : public wxDocTemplate {
public:
    CQuorixDocTemplate(wxDocManager* manager, CQuorixState& state);

protected:
    wxDocument* DoCreateDocument() override;

private:
    CQuorixState& m_state;
};
