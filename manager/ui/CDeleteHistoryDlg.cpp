#include "manager/ui/CDeleteHistoryDlg.h"

#include "resources/manager/ManagerDialogs.h"

CDeleteHistoryDlg::CDeleteHistoryDlg(wxWindow* parent) { CreateDialogFromTemplate(*this, parent, mdlg::DeleteHistory()); }
