#include "editor/ui/CPixoroPrompts.h"

#include "editor/ui/PathText.h"
#include "editor/model/MessageText.h"
#include "editor/ui/CJpegOptionsDlg.h"
#include "editor/ui/CPixoroApp.h"
#include "resources/editor/EditorStrings.h"

#include <wx/msgdlg.h>

DocPrompts::Answer CPixoroPrompts::AskYesNoCancel(const std::string& text, const std::string& caption)
{
    switch (wxMessageBox(pixoro::ShowText(pixoro::BreakLongRuns(text)), wxString::FromUTF8(caption), wxYES_NO | wxCANCEL | wxICON_QUESTION,
                         m_parent)) {
    case wxYES: return Answer::Yes;
    case wxNO: return Answer::No;
    default: return Answer::Cancel;
    }
}

void CPixoroPrompts::ShowMessage(const std::string& text, Icon icon)
{
    long style = wxOK;
    switch (icon) {
    case Icon::None: style |= wxICON_NONE; break;
    case Icon::Information: style |= wxICON_INFORMATION; break;
    case Icon::Error: style |= wxICON_ERROR; break;
    case Icon::Question: style |= wxICON_QUESTION; break;
    }
    wxMessageBox(pixoro::ShowText(pixoro::BreakLongRuns(text)), estr::kAppTitle, style, m_parent);
}

bool CPixoroPrompts::AskJpegOptions(JpegOptions& options, bool namePending)
{
    CJpegOptionsDlg dialog(m_parent, options, namePending);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    options = dialog.GetOptions();
    return true;
}

bool CPixoroPrompts::AskSaveFileName(std::string& name, int& type)
{
    return CPixoroApp::PromptForFileName(m_parent, name, false, &type);
}
