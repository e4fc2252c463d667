#pragma once
// "Choose folder": the user walks folders in a list (a double click opens one, "Up" goes
// to the parent) and presses "Select", which reports the folder being shown. The
// caller's string receives it only on OK; Cancel leaves it as it was. The dialog opens
// in the folder the string names when it is one, else in the home folder, and never
// reads or changes the process's working folder.

#include <wx/dialog.h>

#include <string>
#include <vector>

class wxListBox;
class wxStaticText;

class CFolderDialog : public wxDialog {
public:
    // result: not owned; must outlive the dialog.
    explicit CFolderDialog(wxString* result, wxWindow* parent = nullptr);

    // wxID_OK after "Select" (the string then holds the folder), wxID_CANCEL otherwise.
    int DoModal() { return ShowModal(); }

    // The folder being shown.
    const wxString& GetFolder() const { return m_folder; }
    // Shows another folder; false (nothing changes) when it is not a folder.
    bool OpenFolder(const wxString& folder);

    enum { ID_FOLDER_LIST = 1120, ID_UP = 1121, ID_LOOK_IN = 1122 };

private:
    void Fill();
    void OnOpenEntry(wxCommandEvent& event);
    void OnUp(wxCommandEvent& event);
    void OnSelect(wxCommandEvent& event);

    wxString* m_result;
    wxString m_folder;  // carried as lfplat::PathToText
    std::vector<std::string> m_names;  // the listed folders' names, in list order
    wxStaticText* m_lookIn = nullptr;
    wxListBox* m_list = nullptr;
};
