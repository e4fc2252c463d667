#pragma once
// main() of a benchmark program that needs a window system: wx is initialised
// without a main loop around Google Benchmark's run. Include it in one source file
// of the program. Run such programs under xvfb-run when no display is set.
#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>

namespace lfbench {

class GuiBenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace lfbench

wxIMPLEMENT_APP_NO_MAIN(lfbench::GuiBenchApp);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    wxApp::SetInstance(new lfbench::GuiBenchApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "wx could not be initialised (is DISPLAY set?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
