#pragma once
// The red-eye dialog's zoom pane: a preview pane that remembers its last click even when
// it reports none (click mode off).

#include "editor/ui/CDlgImageView.h"

#include <optional>

class CRedEyeSmallImageView : public CDlgImageView {
public:
    CRedEyeSmallImageView(wxWindow* owner, const wxRect& place);

    // The last left click, in pane coordinates, until taken.
    std::optional<wxPoint> TakeClick();

private:
    void OnClick(wxMouseEvent& event);

    std::optional<wxPoint> m_click;
};
