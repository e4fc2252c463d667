#pragma once
// Dialog layouts as data. Each control is placed in dialog units (x in quarters of the
// dialog font's average character width, y in eighths of its height), so a layout keeps
// its proportions under any font. A static text still shows all of its text where the
// font's letters are wider than its average: the control grows (downwards when it is
// tall enough to wrap, else to the right), what lies beside or below it moves along, and
// the dialog grows with them. Button and check box captions grow to the right the same
// way. A dialog class creates its window from its template, then moves values in and
// out of the controls; the templates live with the program's other resources.

#include <wx/gdicmn.h>

#include <vector>

class wxDialog;
class wxIcon;
class wxWindow;

enum class DlgItemKind {
    Static,         // text, wrapped inside its rectangle
    GroupBox,       // a frame with an optional caption around other controls
    Button,         // a push button
    DefaultButton,  // the push button that Enter presses
    Icon,           // the icon given to CreateDialogFromTemplate
    CheckBox,       // a check box that toggles itself when clicked
    Edit,           // a one-line text field
    Slider,         // a horizontal slider with tick marks, range 0..100
    SpinEdit,       // a number field with up and down arrows, range 0..100, one decimal
    RadioButton,    // a round option button; all of a dialog's form one group
    SpinButton,     // a pair of up and down arrows, vertical, without a field
    MultiEdit,      // a text field of several lines; Enter starts a new line
    DropList,       // a drop-down list of fixed items ("|" separates them in the text)
    ComboBox,       // a drop-down list whose field can also be typed into (items as above)
    FolderTree,     // a CFolderTreeCtrl, empty until the dialog populates it
    VerticalSlider, // a vertical slider, minimum at the top, ticks on both sides, range 0..100
    Password,       // a one-line text field that shows bullets for what is typed
    List,           // a list of rows in columns, with check boxes and grid lines
    Progress,       // a horizontal progress bar, range 0..100 until the dialog sets one
    MultiLineEdit,  // a text field of several lines with a vertical scroll bar; Enter breaks the line
};

struct DlgItem {
    DlgItemKind kind;
    int id;            // 1 and 2 are OK and Cancel; -1 for a control nobody addresses
    const char* text;  // UTF-8; may be empty
    int x, y, width, height;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;  // client area
    std::vector<DlgItem> items;
};

// A control's rectangle in pixels; a group box encloses the controls whose centre lies
// inside it.
struct LayoutBox {
    wxRect rect;
    bool encloses = false;
};

// Makes boxes[index] at least needed in size: boxes to its right (on its rows) move right
// and boxes below it (in its columns) move down by what it grew, group boxes around it
// grow as much, and what a moving group box encloses moves with it. Returns how far the
// right and the bottom edge of the whole layout moved.
wxSize GrowLayoutBox(std::vector<LayoutBox>& boxes, size_t index, const wxSize& needed);

// The window id of a template control: OK and Cancel get the toolkit's ids, so that the
// dialog's standard handling ends it with them; -1 becomes "any id".
int DialogControlId(int templateId);

// Creates the dialog's window (the dialog must not have one yet) with its controls.
// Icon controls show icon when it is given.
bool CreateDialogFromTemplate(wxDialog& dialog, wxWindow* parent, const DialogTemplate& layout,
                              const wxIcon* icon = nullptr);

// Sets a static control's text, wrapped to the control's width; the control and its
// dialog grow as a layout's statics do when the text would not show whole.
void SetStaticText(wxWindow* control, const char* utf8);
