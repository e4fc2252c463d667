#include "editor/ui/CIconMenu.h"

#include <wx/aui/auibar.h>

CIconMenu::CIconMenu(wxAuiToolBar& toolBar, const std::vector<int>& ids)
{
    for (int id : ids) {
        const wxAuiToolBarItem* tool = toolBar.FindTool(id);
        if (!tool)
            continue;
        auto* item = new wxMenuItem(this, id, tool->GetShortHelp());
        item->SetBitmap(tool->GetBitmapBundle());
        Append(item);
        item->Enable(toolBar.GetToolEnabled(id));
    }
}
