#pragma once
// The manager's document template with the session file in a test's folder, and a
// screenshot of the test display kept as an artefact.

#include "manager/ui/CQuorixDoc.h"
#include "manager/ui/CQuorixDocTemplate.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>

#include <filesystem>
#include <string>

namespace lftest {

class TestTemplate : public CQuorixDocTemplate {
public:
    TestTemplate(wxDocManager* manager, CQuorixState& state, std::string session)
        : CQuorixDocTemplate(manager, state), m_state(state), m_session(std::move(session))
    {
    }

protected:
    wxDocument* DoCreateDocument() override { return new CQuorixDoc(&m_state, m_session); }

private:
    CQuorixState& m_state;
    std::string m_session;
};

// Saves the top-left size of the screen as a PNG file.
inline void SaveScreenshot(const std::filesystem::path& file, wxSize size = wxSize())
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    wxScreenDC screen;
    if (size == wxSize())
        size = screen.GetSize();
    wxBitmap shot(size);
    {
        wxMemoryDC memory(shot);
        memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
    }
    std::filesystem::create_directories(file.parent_path());
    EXPECT_TRUE(shot.ConvertToImage().SaveFile(file.string(), wxBITMAP_TYPE_PNG));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

}  // namespace lftest
