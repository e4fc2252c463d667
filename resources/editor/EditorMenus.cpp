#include "resources/editor/EditorMenus.h"

#include "resources/editor/EditorIds.h"

#include <wx/menu.h>

wxMenuBar* CreateEditorMenuBar(int id, wxMenu** recentFiles)
{
    const bool withImage = id == IDR_PIXORTYPE;
    auto* file = new wxMenu;
    file->Append(ID_FILE_OPEN, "&Open...\tCtrl+O");
    if (withImage) {
        file->Append(ID_FILE_CLOSE, "&Close");
        file->AppendSeparator();
        file->Append(ID_FILE_SAVE, "&Save\tCtrl+S");
        file->Append(ID_FILE_SAVE_AS, "Save &As...");
        file->AppendSeparator();
        file->Append(ID_FILE_PRINT, "&Print...\tCtrl+P");
        file->Append(ID_FILE_PRINT_PREVIEW, "Print Pre&view");
    } else {
        file->AppendSeparator();
    }
    file->Append(ID_FILE_PRINT_SETUP, "P&rint Setup...");
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
    auto* view = new wxMenu;
    view->AppendCheckItem(ID_VIEW_TOOLBAR, "&Toolbar");
    view->AppendCheckItem(ID_VIEW_STATUS_BAR, "&Status Bar");
    if (withImage) {
        view->AppendSeparator();
        view->Append(ID_VIEW_ZOOMIN, "&Zoom in");
        view->Append(ID_VIEW_ZOOMOUT, "&Zoom out");
        view->AppendSeparator();
        view->Append(ID_VIEW_FULLSIZE, "Full Size");
        view->AppendCheckItem(ID_VIEW_BESTFIT, "Best Fit");
    }
    bar->Append(view, "&View");
    if (withImage) {
        auto* image = new wxMenu;
        image->AppendCheckItem(ID_IMAGE_CROP, "&Crop");
        image->Append(ID_IMAGE_RESIZE, "Re&size");
        image->Append(ID_IMAGE_ROTATE, "&Rotate");
        image->Append(ID_IMAGE_TEXT, "&Text");
        bar->Append(image, "&Image");
        auto* adjust = new wxMenu;
        adjust->Append(ID_ADJUST_BRIGHTNESS, "&Brightness/Contrast Levels");
        adjust->AppendSeparator();
        adjust->Append(ID_ADJUST_RGB, "&Red/Green/Blue");
        adjust->Append(ID_ADJUST_GRAYSCALE, "Change to Greyscale");
        bar->Append(adjust, "&Adjust");
    }
    auto* help = new wxMenu;
    help->Append(ID_HELP_FILE, "Help File\tF1");
    help->AppendSeparator();
    help->Append(ID_APP_ABOUT, withImage ? "About" : "About Pixoro");
    bar->Append(help, "&Help");
    if (recentFiles)
        *recentFiles = recent;
    return bar;
}

wxAcceleratorTable CreateEditorAccelerators()
{
    wxAcceleratorEntry entries[] = {
        {wxACCEL_CTRL, 'C', ID_EDIT_COPY},
        {wxACCEL_CTRL, WXK_INSERT, ID_EDIT_COPY},
        {wxACCEL_CTRL, 'M', ID_EDIT_PASTE_NEW_VIEW},
        {wxACCEL_CTRL, 'N', ID_FILE_NEW},
        {wxACCEL_CTRL, 'O', ID_FILE_OPEN},
        {wxACCEL_CTRL, 'P', ID_FILE_PRINT},
        {wxACCEL_CTRL, 'S', ID_FILE_SAVE},
        {wxACCEL_CTRL, 'V', ID_EDIT_PASTE_INTO},
        {wxACCEL_CTRL, 'Z', ID_EDIT_UNDO},
        {wxACCEL_ALT, WXK_BACK, ID_EDIT_UNDO},
        {wxACCEL_CTRL, 'Y', ID_EDIT_REDO},
        {wxACCEL_NORMAL, WXK_F1, ID_HELP_FILE},
    };
    return wxAcceleratorTable(static_cast<int>(std::size(entries)), entries);
}
