#include "editor/ui/CPixoroAboutDlg.h"

#include "resources/editor/EditorDialogs.h"

#include <wx/artprov.h>

CPixoroAboutDlg::CPixoroAboutDlg(wxWindow* parent)
{
    const wxIcon icon = wxArtProvider::GetIcon(wxART_INFORMATION, wxART_MESSAGE_BOX);
    CreateDialogFromTemplate(*this, parent, edlg::About(), &icon);
}
