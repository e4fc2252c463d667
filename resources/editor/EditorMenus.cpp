#include "resources/editor/EditorMenus.h"

#include "resources/editor/EditorIds.h"

#include <wx/menu.h>

wxMenuBar* CreateEditorMenuBar(int id, wxMenu** recentFiles)
{
    const bool withImage = id == IDR_PIXORTYPE;
    auto* file = new wxMenu;
    file->Append(ID_FILE_NEW, "&New\tCtrl+N");
    file->Append(ID_FILE_OPEN, "&Open...\tCtrl+O");
    if (withImage) {
        file->Append(ID_FILE_CLOSE, "&Close");
        file->Append(ID_FILE_SAVE, "&Save\tCtrl+S");
        file->Append(ID_FILE_SAVE_AS, "Save &As...");
    }
    file->AppendSeparator();
    auto* recent = new wxMenu;
    file->Append(ID_FILE_MRU_MENU, "Recent File", recent);
    file->AppendSeparator();
    file->Append(ID_APP_EXIT, "E&xit");

    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    if (withImage) {
        auto* edit = new wxMenu;
        edit->Append(ID_EDIT_UNDO, "&Undo\tCtrl+Z");
        edit->Append(ID_EDIT_REDO, "&Redo\tCtrl+Y");
        bar->Append(edit, "&Edit");
    }
    auto* help = new wxMenu;
    if (withImage)
        help->Append(ID_HELP_FILE, "Help File\tF1");
    help->Append(ID_APP_ABOUT, "&About pixoro...");
    bar->Append(help, "&Help");
    if (recentFiles)
        *recentFiles = recent;
    return bar;
}

wxAcceleratorTable CreateEditorAccelerators()
{
    wxAcceleratorEntry entries[] = {
        {wxACCEL_CTRL, 'N', ID_FILE_NEW},         {wxACCEL_CTRL, 'O', ID_FILE_OPEN},
        {wxACCEL_CTRL, 'Z', ID_EDIT_UNDO},        {wxACCEL_ALT, WXK_BACK, ID_EDIT_UNDO},
        {wxACCEL_CTRL, 'Y', ID_EDIT_REDO},        {wxACCEL_CTRL, 'S', ID_FILE_SAVE},
    };
    return wxAcceleratorTable(static_cast<int>(std::size(entries)), entries);
}
