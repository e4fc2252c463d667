#include "manager/ui/CAboutDlg.h"

#include "resources/manager/ManagerDialogs.h"
#include "resources/manager/QuorixIcon.h"

CAboutDlg::CAboutDlg(wxWindow* parent)
{
    const wxIcon icon = QuorixIcon();
    CreateDialogFromTemplate(*this, parent, mdlg::About(), &icon);
}
