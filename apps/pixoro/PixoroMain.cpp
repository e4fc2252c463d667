// The editor program.
#include "editor/ui/CPixoroApp.h"

#include <wx/init.h>

#include <string>
#include <vector>

wxIMPLEMENT_APP_NO_MAIN(CPixoroApp);

int main(int argc, char** argv)
{
    // The command line's bytes as given: a path is opened exactly, whatever it holds.
    wxApp::SetInstance(new CPixoroApp(std::vector<std::string>(argv + 1, argv + argc)));
    return wxEntry(argc, argv);
}
