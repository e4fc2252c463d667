// GoogleTest main for tests that create windows: a wx application is initialised
// without running its main loop. Failed assertions and error logs would open modal
// boxes and hang a headless run, so both are redirected to the test output.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdio>

namespace {

class TestApp : public wxApp {
public:
    // wxApp::OnInit would parse the command line and reject GoogleTest's arguments.
    bool OnInit() override { return true; }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "wx assertion in " << func.utf8_str().data() << ": " << cond.utf8_str().data() << " "
        << msg.utf8_str().data();
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(TestApp);

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs at build time, where there may be no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "wx could not be initialised (is DISPLAY set?)\n");
        return 1;
    }
    wxSetAssertHandler(FailOnAssert);
    delete wxLog::SetActiveTarget(new wxLogStderr);
    int rc = 1;
    if (wxTheApp->CallOnInit()) {
        rc = RUN_ALL_TESTS();
        wxTheApp->OnExit();
    }
    wxEntryCleanup();
    return rc;
}
