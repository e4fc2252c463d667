#pragma once
// Plain panes for the views that are not written yet: each shows its name, takes the
// focus and does nothing else. Each pane has a class of its own, so that replacing the
// image pane by view mode works as it will with the real views.

#include "manager/CPaneView.h"

class CPlaceholderView : public CPaneView {
    wxDECLARE_ABSTRACT_CLASS(CPlaceholderView);

protected:
    virtual const char* PaneName() const = 0;
    wxWindow* CreatePaneWindow(wxWindow* parent, const wxSize& size) override;
};

#define LF_PLACEHOLDER_VIEW(Name)                                                                                   \
    class Name : public CPlaceholderView {                                                                          \
        wxDECLARE_DYNAMIC_CLASS(Name);                                                                              \
                                                                                                                    \
    protected:                                                                                                      \
        const char* PaneName() const override;                                                                      \
    }

LF_PLACEHOLDER_VIEW(CToolPanelPlaceholder);       // right column, top: the tool panel

#undef LF_PLACEHOLDER_VIEW
