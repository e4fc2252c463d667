#include "manager/ui/CImageListView.h"

#include "manager/model/ManagerModes.h"

wxIMPLEMENT_DYNAMIC_CLASS(CImageListView, CSort_listView);

int CImageListView::ViewMode() const { return kViewThumbnailsAndDetails; }
