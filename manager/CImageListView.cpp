#include "manager/CImageListView.h"

#include "manager/ManagerModes.h"

wxIMPLEMENT_DYNAMIC_CLASS(CImageListView, CSort_listView);

int CImageListView::ViewMode() const { return kViewThumbnailsAndDetails; }
