#pragma once
// Asks the user for a folder in a tree of the desktop, "My Computer" and the mounted
// volumes. The caller fills in the caption, the prompt, an optional root and an optional
// folder to preselect, calls Browse and reads the path. "My Computer" has no path of its
// own; choosing it still reports that name, so a caller can search every volume.

#include <wx/string.h>

class wxWindow;

class CFolderBrowser {
public:
    CFolderBrowser() = default;
    virtual ~CFolderBrowser() = default;

    // True when the chosen item is a folder; its path (no trailing "/" except for "/")
    // is then in m_strPath. False on Cancel, when the root is not a folder, or when the
    // item has no path: m_strPath then holds the item's name ("My Computer").
    bool Browse(wxWindow* parent);

    // Called at each change of the selection with its path (empty when it has none);
    // the result enables OK, the status text shows under the prompt when the status line
    // is on. This one accepts everything.
    virtual bool Validate(const wxString& path, wxString& status);

    wxString m_strCaption;        // window title; the dialog's own when empty
    wxString m_strPath;           // result
    wxString m_strRoot;           // top of the tree; the desktop when empty
    wxString m_strInitialFolder;  // selected when the dialog opens
    wxString m_strPrompt;         // text above the tree; "Open" when empty
    int m_nImageIndex = -1;       // result: the icon of the chosen item
    bool m_bStatusLine = false;

    // The dialog's window name and its tree's id, for scripted tests.
    static constexpr const char* kDialogName = "FolderBrowserDialog";
    enum { ID_TREE = 1100, ID_STATUS = 1101 };
};
