// The manager program.
#include "manager/ui/CQuorixApp.h"
#include "apps/quorix/ManagerServicesSetup.h"
#include "platform/ProcessSignals.h"

#include <wx/init.h>

#include <string>
#include <vector>

wxIMPLEMENT_APP_NO_MAIN(CQuorixApp);

int main(int argc, char** argv)
{
    lfplat::IgnoreFileSizeSignal();  // before anything writes a file
    // The command line's bytes as given: a path is handed on exactly, whatever it holds.
    wxApp::SetInstance(new CQuorixApp(std::vector<std::string>(argv + 1, argv + argc), MakeManagerServices()));
    return wxEntry(argc, argv);
}
