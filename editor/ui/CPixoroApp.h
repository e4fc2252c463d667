#pragma once
// The editor's application object: start-up (the GIF refusal, the image named on the
// command line or an empty window), the shared state, the settings, the main window's
// placement, and the File > Open, About and Exit commands.

#include <wx/app.h>

#include <memory>
#include <string>
#include <vector>

class CEarlyDecode;
class CFramePlacementHook;
class CMainFrame;
class CPixoroPrompts;
class CPixoroState;
class wxDocManager;
class wxDocTemplate;
class wxCloseEvent;
class wxFileDialog;
class wxWindow;

class CPixoroApp : public wxApp {
public:
    // arguments: the command line after the program name, as the bytes it was given.
    // earlyDecode: the command line's image, already being decoded (may be null).
    explicit CPixoroApp(std::vector<std::string> arguments = {}, std::unique_ptr<CEarlyDecode> earlyDecode = nullptr);
    ~CPixoroApp() override;

    bool OnInit() override;
    int OnExit() override;

    CPixoroState& GetState() { return *m_state; }
    CMainFrame* GetMainFrame() const { return m_pMainFrame; }
    wxDocManager* GetDocManager() const { return m_docManager.get(); }

    // Opens path as the image of a new document window, closing the active one first
    // (with its save prompt); false when the file could not be opened.
    bool OpenImage(const std::string& path);

    // The editor's file dialog: name is the proposed and then the chosen path; type (when
    // given) selects the first row and receives the row chosen. True on OK.
    static bool PromptForFileName(wxWindow* parent, std::string& name, bool open, int* type);
    // The file dialog PromptForFileName shows: the filter of type selected and, when
    // saving, the name proposed with that filter's extension.
    static std::unique_ptr<wxFileDialog> MakeFileDialog(wxWindow* parent, const std::string& name, bool open,
                                                        int type);

    // File > Open: asks for a file and opens it.
    void FileOpen();

private:
    void OnAppAbout(wxCommandEvent& event);
    // Runs the window's events until the command line's image is decoded.
    void WaitForEarlyDecode();
    // A close asked for while the image opens is done once it is open.
    void KeepCloseWhileOpening(wxCloseEvent& event);
    // Tells, once per file, of settings that could not be read or written.
    void ShowStateFileProblems();

    std::vector<std::string> m_arguments;
    std::unique_ptr<CEarlyDecode> m_earlyDecode;
    bool m_closeAskedWhileOpening = false;
    std::unique_ptr<CPixoroState> m_state;
    std::unique_ptr<CPixoroPrompts> m_prompts;
    std::unique_ptr<wxDocManager> m_docManager;
    std::unique_ptr<CFramePlacementHook> m_placement;
    wxDocTemplate* m_pDocTemplate = nullptr;  // owned by the document manager
    bool m_showingStateFileProblems = false;
    CMainFrame* m_pMainFrame = nullptr;

    wxDECLARE_EVENT_TABLE();
};
