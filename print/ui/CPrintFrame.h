#pragma once
// The print window: the manager's second top-level window, where pages of several
// images of the current folder are composed and printed. A button bar at the top, a
// status bar at the bottom and, between them, three locked columns: the image picker,
// the page view and the layout list. The main window opens it once and shows it again
// later; closing it only hides it. It goes when the main window closes.

#include <wx/frame.h>
#include <wx/weakref.h>

#include <functional>
#include <string>

class CLockSplitterWnd;
class CPrintBarDlg;
class CPrintLayoutView;
class CPrintLeftView;
class CQKPrintView;
class CQuorixDoc;
class wxPrintDialogData;
class wxPrintout;

class CPrintFrame : public wxFrame {
public:
    // Runs a print job: the print dialog over the data, then the printout. False when
    // nothing was printed; error tells a failure from a cancelled dialog.
    using PrintRunner = std::function<bool(wxWindow* parent, wxPrintout& printout, wxPrintDialogData& data, bool& error)>;

    // The window over the document, placed for the screen; mainFrame is the manager's
    // main window, shown again when this one closes.
    CPrintFrame(CQuorixDoc& doc, wxWindow* mainFrame);
    ~CPrintFrame() override;

    // The print window that mainFrame opened, or null.
    static CPrintFrame* FindFor(const wxWindow* mainFrame);

    // What the bar, the picker and the layout list ask of the page view.
    void AddSelectedImages();
    void AddToPrint();
    void RemoveImage();
    void RemovePage();
    void PrintCurrentPage();
    void PrintAllPages();
    void PreviousPage();
    void NextPage();
    void ApplyLayout();

    // Null once the main window has closed.
    CQuorixDoc* GetDocument() const { return m_doc; }
    wxWindow* GetMainFrame() const { return m_mainFrame; }
    // Where the layout pictures lie (the programs' folder).
    std::string GetAppFolder() const;

    CQKPrintView* GetPageView() const { return m_pageView; }
    CPrintLeftView* GetPicker() const { return m_picker; }
    CPrintLayoutView* GetLayoutList() const { return m_layoutList; }
    CPrintBarDlg* GetPrintBar() const { return m_printBar; }
    CLockSplitterWnd* GetSplitter() const { return m_splitter; }

    // Information messages (a message box by default) and the print job (the print
    // dialog and the printer by default); tests put their own.
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_messageSink = std::move(sink); }
    void ShowMessage(const std::string& text, bool information);
    void SetPrintRunner(PrintRunner runner) { m_printRunner = std::move(runner); }
    const PrintRunner& GetPrintRunner() const { return m_printRunner; }

private:
    void OnClose(wxCloseEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnSizing(wxSizeEvent& event);
    void OnMainFrameClose(wxCloseEvent& event);

    CQuorixDoc* m_doc;
    wxWeakRef<wxWindow> m_mainFrame;
    CLockSplitterWnd* m_splitter = nullptr;
    CPrintBarDlg* m_printBar = nullptr;
    CPrintLeftView* m_picker = nullptr;
    CQKPrintView* m_pageView = nullptr;
    CPrintLayoutView* m_layoutList = nullptr;
    bool m_bSizedOnce = false;
    std::function<void(const std::string&)> m_messageSink;
    PrintRunner m_printRunner;
};
