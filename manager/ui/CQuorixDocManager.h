#pragma once
// The framework's document handling for the manager's single document. The document is
// made once, at start-up, and lives until the program ends: File > New starts it anew
// and File > Open (or a recent file) reads a file into it, both keeping the document
// object with its folders, selection and settings, and its views. The recent-file list
// holds four entries.

#include <wx/docview.h>

class CQuorixDocManager : public wxDocManager {
public:
    CQuorixDocManager();

    // The first call makes the document; later ones reuse it. New runs the document's
    // new-document step, Open its open step (asking for the file when path is empty) and
    // adds the file to the recent list; then the views are updated. Null when the user
    // cancels or a step fails; the document stays in either case.
    wxDocument* CreateDocument(const wxString& path, long flags = 0) override;

    wxFileHistory* OnCreateFileHistory() override;
};
