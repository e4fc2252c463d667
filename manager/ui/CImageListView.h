#pragma once
// The list view of the thumbnails and details mode: each image row shows its 88 x 66 thumbnail.

#include "manager/ui/CSort_listView.h"

class CImageListView : public CSort_listView {
    wxDECLARE_DYNAMIC_CLASS(CImageListView);

protected:
    int ViewMode() const override;
};
