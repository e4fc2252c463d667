#pragma once
// The tool panel above the image pane: a row of picture buttons (editor, search, batch,
// copy/move/delete, print, upload), a View By button and the address box of recent
// folders. It turns the buttons and its pop-up menus into commands on the current folder
// and its selection, sorts and switches the view mode, and hands the neighbouring
// libraries' dialogs their turn through the state's services once a command's
// conditions hold.

#include "manager/ui/CPaneView.h"

#include <wx/bitmap.h>

#include <functional>
#include <map>
#include <string>

class CFolderItem;
class CHoverButton;
class CImageItem;
class CLfImage;
class CPaneHost;
class CQuorixDoc;
class CQuorixState;
class CToolPanelArt;
struct ManagerServices;
class wxBitmapComboBox;
class wxButton;
class wxDialog;
class wxMenu;
class wxPaintEvent;
class wxPanel;
class wxSizeEvent;

class CTollbarView : public CPaneView {
    wxDECLARE_DYNAMIC_CLASS(CTollbarView);

public:
    CTollbarView();
    ~CTollbarView() override;

    // Fills the address box with the recent folders, the current one shown.
    void OnUpdate(wxView* sender, wxObject* hint) override;

    // Runs the command of a button or menu item; false for an id the panel does not know.
    bool RunCommand(int id);

    // Sorting and view modes.
    virtual void OnSortByName();
    virtual void OnSortBySize();
    void OnSortByDate();
    virtual void OnSortForward();
    virtual void OnSortReverse();
    virtual void OnViewThumbsDetail();
    virtual void OnViewThumbnails();
    virtual void OnViewDetailsFolders();
    virtual void OnShowOtherFiles();
    virtual void OnHideOtherFiles();
    // Batch jobs, graphical text, notes.
    virtual void OnBatchRename();
    virtual void OnBatchResize();
    void OnAddGraphicalText();
    void OnNotesKeywords();
    // Search.
    void OnSearch();
    virtual void OnSearchFilename();
    virtual void OnSearchNotesKeywords();
    // The other buttons.
    void OnEditor();
    void OnPrint();
    void OnUpload();
    void OnRefresh();
    void OnCopy();
    void OnMove();
    void OnDelete();
    // The pop-up menus.
    void OnListViewMenu();
    void OnSortByMenu();
    void OnViewByMenu();
    void OnBatchMenu();
    void OnFileOpMenu();
    // Options > Delete History: empties the address box's list (the recent folders stay).
    void DeleteHistory();

    // The address box's text changed (typed or picked).
    void OnAddressChange();

    // A folder load with thumbnails from the cache, into the current folder record.
    // Nothing in the program uses it.
    void LoadFolderWithCache(const std::string& path);
    static bool IsImageFile(const std::string& path);
    // A thumbnail of source at most maxWidth x maxHeight: fitted (the scaled picture) or
    // framed (the maximum size, the picture centred on the grid's background). Without a
    // source, the stand-in picture. Records the size in the record in progress.
    wxBitmap MakeThumbnail(const CLfImage* source, int maxWidth, int maxHeight, bool fit);
    void SetImageInProgress(CImageItem* image) { m_pImageInProgress = image; }

    // Controls, for the frame and tests.
    wxPanel* GetPanel() const { return m_panel; }
    CHoverButton* GetButton(int id) const;
    wxButton* GetAddTextButton() const { return m_addText; }
    wxBitmapComboBox* GetAddressBox() const { return m_address; }
    const std::string& GetAddressText() const { return m_strAddress; }
    bool IsLaidOut() const { return m_bLaidOut; }
    const CToolPanelArt* GetArt() const { return m_art; }

    // Where messages go (a message box by default): text and caption.
    using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;
    void SetMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    // Where the delete question goes (a Yes/No box by default): true for Yes.
    void SetQuestionSink(std::function<bool(const std::string& text)> sink) { m_questionSink = std::move(sink); }
    // What shows a pop-up menu at a panel point and returns the chosen id or wxID_NONE
    // (the real pop-up by default).
    void SetMenuRunner(std::function<int(wxMenu&, const wxPoint&)> runner) { m_menuRunner = std::move(runner); }
    // What runs a dialog modally (ShowModal by default).
    void SetDialogRunner(std::function<int(wxDialog&)> runner) { m_dialogRunner = std::move(runner); }

protected:
    wxWindow* CreatePaneWindow(wxWindow* parent, const wxSize& size) override;

private:
    CQuorixDoc* Doc() const;
    CFolderItem* Folder() const;
    CQuorixState* State() const;
    CPaneHost* Host() const;
    // The folder the address box names: the bytes of a listed folder whose shown path
    // it holds, else its text.
    std::string AddressPath() const;
    void CreateControls();
    void LayOut();
    void Sort(int key, int order);
    void SetViewMode(int mode);
    void ShowMessage(const std::string& text, const std::string& caption, long icon);
    bool NothingSelected(const char* text, const char* caption);
    void RunMenu(wxMenu& menu, const wxPoint& at);
    void RunSearch(const char* caption);
    // The batch commands' check of the selection, then the dialog that pick starts.
    void RunBatch(void (*pick)(CQuorixDoc&, ManagerServices&));

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnMenuCommand(wxCommandEvent& event);
    void OnFileNew(wxCommandEvent&) {}
    void OnDeleteHistoryCommand(wxCommandEvent&) { DeleteHistory(); }

    wxPanel* m_panel = nullptr;
    bool m_bLaidOut = false;
    std::map<int, CHoverButton*> m_buttons;
    wxButton* m_addText = nullptr;
    wxButton* m_refresh = nullptr;
    wxBitmapComboBox* m_address = nullptr;
    std::string m_strAddress;
    bool m_bFillingAddress = false;
    CImageItem* m_pImageInProgress = nullptr;
    CToolPanelArt* m_art = nullptr;  // owned by the art provider stack while the panel lives
    wxBitmap m_stripColumn;          // the strip's 7 x 51 tile
    MessageSink m_messageSink;
    std::function<bool(const std::string&)> m_questionSink;
    std::function<int(wxMenu&, const wxPoint&)> m_menuRunner;
    std::function<int(wxDialog&)> m_dialogRunner;

    wxDECLARE_EVENT_TABLE();
};
