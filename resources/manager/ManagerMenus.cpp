#include "resources/manager/ManagerMenus.h"

#include "resources/manager/ManagerIds.h"

#include <wx/menu.h>

wxMenuBar* CreateMainMenuBar(wxMenu** recentFiles)
{
    auto* file = new wxMenu;
    file->Append(ID_DOC_SELECT_ALL, "Select all files");
    file->Append(ID_DOC_DESELECT_ALL, "Deselect all files");
    file->AppendSeparator();
    file->Append(ID_FILE_PRINT, "&Print...\tCtrl+P");
    file->Append(ID_FILE_PRINT_PREVIEW, "Print Pre&view");
    file->AppendSeparator();
    auto* recent = new wxMenu;
    file->Append(ID_FILE_MRU_MENU, "Recent File", recent);
    file->AppendSeparator();
    file->Append(ID_APP_EXIT, "E&xit");

    auto* view = new wxMenu;
    view->Append(ID_DOC_REFRESH, "Refresh");

    auto* options = new wxMenu;
    options->Append(ID_DOC_DELETE_CACHE, "Delete Cache");
    options->Append(ID_OPTIONS_DELETE_HISTORY, "Delete History");
    options->Append(ID_OPTIONS_SET_PROXY, "Set Proxy");

    auto* help = new wxMenu;
    help->Append(ID_HELP_FILE, "Help File");
    help->Append(ID_APP_ABOUT, "About");

    auto* bar = new wxMenuBar;
    bar->Append(file, "&File");
    bar->Append(view, "View");
    bar->Append(options, "Options");
    bar->Append(help, "&Help");
    if (recentFiles)
        *recentFiles = recent;
    return bar;
}

wxAcceleratorTable CreateMainAccelerators()
{
    // Save, Undo, Cut, Copy, Paste and the pane keys reach no command in the manager;
    // leaving them out keeps those keys for the text fields.
    wxAcceleratorEntry entries[] = {
        {wxACCEL_CTRL, 'N', ID_FILE_NEW},
        {wxACCEL_CTRL, 'O', ID_FILE_OPEN},
        {wxACCEL_CTRL, 'P', ID_FILE_PRINT},
    };
    return wxAcceleratorTable(static_cast<int>(std::size(entries)), entries);
}

void AppendImageCommands(wxMenu& menu)
{
    menu.Append(ID_IMAGE_EDITOR, "&Editor");
    menu.AppendSeparator();
    menu.Append(ID_IMAGE_COPY, "&Copy");
    menu.Append(ID_IMAGE_MOVE, "&Move");
    menu.AppendSeparator();
    menu.Append(ID_IMAGE_DELETE, "&Delete");
    menu.Append(ID_IMAGE_RENAME, "&Rename");
}
