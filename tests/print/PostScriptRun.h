#pragma once
// Print jobs in tests: a printout driven page by page onto a PostScript file, as the
// printing framework drives it onto a printer (the toolkit's own print dialog would
// wait for a user), and the file's pages rasterised by Ghostscript.

#include <gtest/gtest.h>
#include <wx/cmndata.h>
#include <wx/dcps.h>
#include <wx/image.h>
#include <wx/print.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace lftest {

inline bool PrintToPostScript(wxPrintout& printout, wxPrintDialogData& data, const std::string& file)
{
    wxPrintData printData = data.GetPrintData();
    printData.SetFilename(file);
    printData.SetPrintMode(wxPRINT_MODE_FILE);
    wxPostScriptDC dc(printData);
    if (!dc.IsOk())
        return false;
    printout.SetDC(&dc);
    const wxSize ppi = dc.GetPPI();
    printout.SetPPIPrinter(ppi.x, ppi.y);
    printout.SetPPIScreen(96, 96);
    const wxSize size = dc.GetSize();
    printout.SetPageSizePixels(size.x, size.y);
    printout.SetPaperRectPixels(wxRect(size));
    int widthMM = 0, heightMM = 0;
    dc.GetSizeMM(&widthMM, &heightMM);
    printout.SetPageSizeMM(widthMM, heightMM);

    printout.OnPreparePrinting();
    int minPage = 0, maxPage = 0, from = 0, to = 0;
    printout.GetPageInfo(&minPage, &maxPage, &from, &to);
    printout.OnBeginPrinting();
    if (!printout.OnBeginDocument(from, to))
        return false;
    for (int page = from; page <= to && printout.HasPage(page); ++page) {
        dc.StartPage();
        const bool printed = printout.OnPrintPage(page);
        dc.EndPage();
        if (!printed)
            break;
    }
    printout.OnEndDocument();
    printout.OnEndPrinting();
    printout.SetDC(nullptr);
    return true;
}

// The pages of a PostScript file at dpi, in order.
inline std::vector<wxImage> RasterisePostScript(const std::filesystem::path& file, const std::filesystem::path& folder,
                                                int dpi)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string command = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r" + std::to_string(dpi) +
                                " -sOutputFile='" + (folder / "page-%d.png").string() + "' '" + file.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<wxImage> pages;
    for (int n = 1;; ++n) {
        const auto page = folder / ("page-" + std::to_string(n) + ".png");
        if (!std::filesystem::exists(page))
            break;
        wxImage image(page.string(), wxBITMAP_TYPE_PNG);
        EXPECT_TRUE(image.IsOk()) << page;
        pages.push_back(image);
    }
    return pages;
}

}  // namespace lftest
