#pragma once
// Where Copy and Move go: a folder picked in a folder tree, or a new folder of a typed
// name inside it. OK stores the destination in the document, runs the file-operation
// dialog and tells how many files were done.

#include "batch/ui/CFileJobRunner.h"

#include <wx/dialog.h>

#include <functional>
#include <string>

class CFolderTreeCtrl;
class CQuorixDoc;
class wxTreeEvent;

class CDestinationDlg : public wxDialog {
public:
    explicit CDestinationDlg(wxWindow* parent = nullptr);

    // mode: 0 move, 1 copy.
    void SetTarget(CQuorixDoc* doc, int mode);
    int ShowModal() override;

    // The destination for the selected path and the new folder's name (blanks trimmed
    // first): selected path + "/" + name + "/" with a name, else the selected path.
    static std::string Destination(const std::string& selectedPath, bool createNew, std::string name);

    CFolderTreeCtrl* GetTree() const { return m_pTree; }
    const std::string& GetSelectedPath() const { return m_strSelectedPath; }
    // Where the result message goes: text and caption (a message box by default).
    void SetMessageSink(std::function<void(const std::string&, const std::string&)> sink)
    {
        m_messageSink = std::move(sink);
    }
    // Handed on to the file-operation dialog.
    void SetPromptSink(CFileJobRunner::PromptSink sink) { m_promptSink = std::move(sink); }

private:
    void TransferToControls();
    void OnSelectionChanged(wxTreeEvent& event);
    void OnCreateNew(wxCommandEvent&);
    void OnOK(wxCommandEvent&);

    CQuorixDoc* m_pDoc = nullptr;
    int m_nMode = 1;
    std::string m_strSelectedPath;
    std::string m_strDestination;
    CFolderTreeCtrl* m_pTree = nullptr;
    std::function<void(const std::string&, const std::string&)> m_messageSink;
    CFileJobRunner::PromptSink m_promptSink;
};
