#pragma once
// The editor's one document template: CPixoroDoc shown by CPixoroView in a CChildFrame.
// Documents it makes share the application's state and prompts.

#include <wx/docview.h>

class CPixoroState;
class DocPrompts;

class CPixoroDocTemplate : public wxDocTemplate {
public:
    CPixoroDocTemplate(wxDocManager* manager, CPixoroState& state, DocPrompts& prompts);

protected:
    wxDocument* DoCreateDocument() override;

private:
    CPixoroState& m_state;
    DocPrompts& m_prompts;
};
