#pragma once
// What the batch dialogs share: how their messages reach the user, and the end of a job
// that wrote into an output folder.

#include "batch/model/BatchMessages.h"
#include "batch/ui/BatchHost.h"

#include <functional>
#include <string>
#include <vector>

class CQuorixDoc;
class wxWindow;

namespace batch {

// Shows the text in a message box with the kind's icon.
void ShowMessageBox(wxWindow* parent, const std::string& text, MessageKind kind);
// Asks an OK/Cancel question with the information icon; true for OK.
bool AskOkCancel(wxWindow* parent, const std::string& text);

// After a job that wrote into folder (empty when it wrote in place): the host's folder
// tree opens that folder (which loads it) and the document notes the change; in every
// case the document rescans its current folder.
void ShowJobResult(CQuorixDoc& doc, const std::string& folder, const BatchHost& host);

// A window of a fixed size with the heading over the lines, which wrap where they are
// too long and scroll where there are too many; modal until OK.
void ShowListWindow(wxWindow* parent, const std::string& caption, const std::string& heading,
                    const std::string& lines);

// One window that lists every failure of a job under its heading, owned by the host's
// main window; nothing when there were none.
void ShowFailureSummary(const BatchHost& host, const std::string& caption, const std::vector<std::string>& failures);

// Takes the image out of the document's selection by its path.
void DropFromSelection(CQuorixDoc& doc, const std::string& path);

}  // namespace batch
