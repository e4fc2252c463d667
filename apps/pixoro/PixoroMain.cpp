// The editor program.
#include "editor/model/CEarlyDecode.h"
#include "editor/model/CPixoroCommandLineInfo.h"
#include "editor/ui/CPixoroApp.h"
#include "platform/ProcessSignals.h"
#include "platform/WorkingFolder.h"

#include <wx/init.h>
#include <wx/string.h>

#include <memory>
#include <string>
#include <vector>

wxIMPLEMENT_APP_NO_MAIN(CPixoroApp);

int main(int argc, char** argv)
{
    lfplat::IgnoreFileSizeSignal();  // before anything writes a file
    // The command line's bytes as given: a path is opened exactly, whatever it holds.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // The image's decode starts now and runs while the toolkit and the windows start up.
    CPixoroCommandLineInfo commandLine;
    commandLine.Parse(arguments);
    std::unique_ptr<CEarlyDecode> early;
    if (!commandLine.m_strLastParam.empty() && !CPixoroCommandLineInfo::IsGifParameter(commandLine.m_strLastParam))
        early = std::make_unique<CEarlyDecode>(
            CPixoroCommandLineInfo::AbsolutePath(commandLine.m_strLastParam, lfplat::CaptureWorkingFolder()));
    wxApp::SetInstance(new CPixoroApp(std::move(arguments), std::move(early)));
    // The toolkit sees only the arguments it can convert: it would stop at the others
    // with a box of its own, and the application has them all already.
    std::vector<char*> toolkit{argv[0]};
    for (int i = 1; i < argc; ++i)
        if (!wxString::FromUTF8(argv[i]).empty() || argv[i][0] == '\0')
            toolkit.push_back(argv[i]);
    int toolkitCount = static_cast<int>(toolkit.size());
    toolkit.push_back(nullptr);
    return wxEntry(toolkitCount, toolkit.data());
}
