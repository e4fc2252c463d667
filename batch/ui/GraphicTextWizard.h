#pragma once
// The manager's graphical-text job from the tool panel's command: the template pick,
// the settings and apply steps, and the list of the files written. The caller has
// checked that supported images are selected; afterwards the document's saved list
// holds the files written and its output folder where they lie.

class CQuorixDoc;
class wxWindow;

void RunGraphicTextWizard(CQuorixDoc& doc, wxWindow* parent = nullptr);
