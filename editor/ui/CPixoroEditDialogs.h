#pragma once
// The editing dialogs the document's edit commands open, as windows over the main frame.

#include "editor/model/EditDialogs.h"

class CPixoroEditDialogs : public EditDialogs {
public:
    bool HasRotate() const override { return true; }
    bool HasResize() const override { return true; }
    bool HasText() const override { return true; }
    bool HasAdjust(Adjust) const override { return true; }

    bool Rotate(CPixoroDocModel& doc, CLfImage& work) override;
    bool Resize(CPixoroDocModel& doc, int& width, int& height) override;
    bool AdjustImage(Adjust kind, CPixoroDocModel& doc, CLfImage& work, CLfImage& current) override;
    bool AddText(CPixoroDocModel& doc, CLfImage& current, CLfImage& work) override;
};
