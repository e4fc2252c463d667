#include "manager/CDetailListView.h"

#include "manager/ManagerModes.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDetailListView, CSort_listView);

int CDetailListView::ViewMode() const { return kViewDetailsAndFolders; }
