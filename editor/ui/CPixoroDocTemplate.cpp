#include "editor/ui/CPixoroDocTemplate.h"

#include "editor/ui/CPixoroDoc.h"
#include "editor/ui/CPixoroView.h"
#include "resources/editor/EditorStrings.h"

CPixoroDocTemplate::CPixoroDocTemplate(wxDocManager* manager, CPixoroState& state, DocPrompts& prompts)
    : wxDocTemplate(manager, estr::kDocFilter, "*.*", "", estr::kDocExtension, estr::kDocTypeName, "Pixoro View",
                    nullptr, wxCLASSINFO(CPixoroView)),
      m_state(state), m_prompts(prompts)
{
}

wxDocument* CPixoroDocTemplate::DoCreateDocument() { return new CPixoroDoc(m_state, m_prompts); }
