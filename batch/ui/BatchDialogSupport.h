#pragma once
// What the batch dialogs share: how their messages reach the user, and the end of a job
// that wrote into an output folder.

#include "batch/model/BatchMessages.h"

#include <functional>
#include <string>

class CQuorixDoc;
class wxWindow;

namespace batch {

// Shows the text in a message box with the kind's icon.
void ShowMessageBox(wxWindow* parent, const std::string& text, MessageKind kind);
// Asks an OK/Cancel question with the information icon; true for OK.
bool AskOkCancel(wxWindow* parent, const std::string& text);

// After a job that wrote into folder (empty when it wrote in place): the folder tree of
// the main window opens that folder (which loads it) and the document notes the change;
// in every case the document rescans its current folder.
void ShowJobResult(CQuorixDoc& doc, const std::string& folder);

// Takes the image out of the document's selection by its path.
void DropFromSelection(CQuorixDoc& doc, const std::string& path);

}  // namespace batch
