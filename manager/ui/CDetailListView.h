#pragma once
// The list view of the details and folders mode: file icons, with subfolders and other files.

#include "manager/ui/CSort_listView.h"

class CDetailListView : public CSort_listView {
    wxDECLARE_DYNAMIC_CLASS(CDetailListView);

protected:
    int ViewMode() const override;
};
