#pragma once
// What the batch dialogs and the search window need of the program around them. The
// manager's assembly (apps/quorix) fills it from its main window; tests fill it with
// their own. An entry left empty does nothing.

#include <functional>
#include <string>

class CQuorixDoc;
class wxWindow;

namespace batch {

struct BatchHost {
    // The window that owns what a dialog leaves behind once it has closed (the summary
    // of a job's failures); none gives an unowned window.
    std::function<wxWindow*()> mainWindow;
    // The folder tree opens folder (which loads it) and becomes the active pane.
    std::function<void(CQuorixDoc& doc, const std::string& folder)> openFolder;
    // The search added a record to the document's current folder: the list shows it.
    std::function<void()> foundImage;
};

}  // namespace batch
