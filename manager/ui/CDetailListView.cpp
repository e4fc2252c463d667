#include "manager/ui/CDetailListView.h"

#include "manager/model/ManagerModes.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDetailListView, CSort_listView);

int CDetailListView::ViewMode() const { return kViewDetailsAndFolders; }
