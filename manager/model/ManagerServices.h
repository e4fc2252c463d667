#pragma once
// The dialogs of the upload client, the batch and file operations and the print window,
// as the manager's frame, views and tool panel reach them. Those libraries sit above the
// manager's, so the program fills this table at start-up (apps/quorix) and tests fill it
// with their own; a service left empty does nothing. Each one runs its dialog modally on
// the user-interface thread and does the whole job, reporting it to the user.

#include <functional>
#include <string>

class CQuorixDoc;
class wxWindow;

struct ManagerServices {
    // The Uploader command: the upload dialog over the document's selection.
    std::function<void(CQuorixDoc& doc)> upload;
    // Copy or move the selected images of the current folder: the destination dialog and
    // then the file-operation job. mode: 0 move, 1 copy.
    std::function<void(CQuorixDoc& doc, int mode)> destination;
    // Delete the selected images of the current folder (the file-operation job, mode 2).
    std::function<void(CQuorixDoc& doc)> deleteFiles;
    // Rename one file of the current folder: name without extension, full old name and
    // extension. True when the file was renamed (the caller then refreshes the document).
    std::function<bool(CQuorixDoc& doc, const std::string& stem, const std::string& oldName,
                       const std::string& extension)>
        renameFile;
    // Rows dropped on the folder tree: copy or move the selection to the document's
    // destination folder.
    std::function<void(CQuorixDoc& doc)> copyMoveDrop;
    // The tool panel calls the batch and graphical-text entries once the current folder's
    // selection holds an image they take.
    std::function<void(CQuorixDoc& doc)> batchRename;
    // Shows "Resize operation complete." itself when the job ran to its end.
    std::function<void(CQuorixDoc& doc)> batchResize;
    // The graphical-text job (template pick, settings and apply, result list). The sample
    // loads with the type of its own extension (toolpanel::SampleImageType); afterwards
    // the tool panel selects the output folder in the tree and rescans when pictures were
    // saved (the document's saved-file list is not empty).
    std::function<void(CQuorixDoc& doc)> graphicText;
    // Shows the one search window of mainFrame (made on first use), with its caption
    // "Search by Filename" or "Search by Notes/Keywords".
    std::function<void(CQuorixDoc& doc, wxWindow* mainFrame, const std::string& caption)> search;
    // Print Preview: opens the print window over the selected images, or brings the open
    // one forward with the selection added.
    std::function<void(CQuorixDoc& doc, wxWindow* mainFrame)> printLayout;
};
