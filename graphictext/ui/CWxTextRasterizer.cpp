#include "graphictext/ui/CWxTextRasterizer.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/font.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/thread.h>

#include <algorithm>
#include <vector>

namespace {

wxFont MakeFont(const TextFont& font)
{
    wxFontInfo info(wxSize(0, std::max(1, font.height)));
    info.Family(wxFONTFAMILY_SWISS).FaceName(wxString::FromUTF8(font.face)).Underlined(font.underline);
    wxFont made(info);
    made.SetNumericWeight(std::clamp(font.weight, 1, 1000));
    return made;
}

}  // namespace

int CWxTextRasterizer::DrawLine(TextRaster& raster, int y0, const std::string& line, const TextFont& font,
                                int charSpacing)
{
    wxASSERT(wxThread::IsMain());
    const wxString text = wxString::FromUTF8(line);
    if (text.empty())
        return 0;
    const wxFont wxfont = MakeFont(font);
    // Each character is measured by itself: pairs are never kerned.
    std::vector<wxCoord> widths;
    wxCoord height = 0;
    {
        wxBitmap probe(1, 1, 24);
        wxMemoryDC dc(probe);
        dc.SetFont(wxfont);
        for (wxUniChar c : text) {
            wxCoord w = 0, h = 0;
            dc.GetTextExtent(wxString(c), &w, &h);
            widths.push_back(w);
            height = std::max(height, h);
        }
    }
    long long width = 0;
    for (wxCoord w : widths)
        width += w + charSpacing;
    const int lineWidth = static_cast<int>(std::clamp<long long>(width, 0, 0x7fffffff));

    // Only the part of the line that falls inside the raster is drawn.
    const int drawWidth = std::min<long long>(width, raster.Width());
    const int drawHeight = std::min<int>(height, raster.StoredRows() - y0);
    if (drawWidth <= 0 || drawHeight <= 0)
        return lineWidth;
    wxBitmap bitmap(drawWidth, drawHeight, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        if (wxGraphicsContext* gc = dc.GetGraphicsContext())
            gc->SetAntialiasMode(wxANTIALIAS_NONE);
        dc.SetFont(wxfont);
        dc.SetTextForeground(*wxBLACK);
        dc.SetTextBackground(*wxWHITE);
        dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
        wxCoord x = 0;
        for (size_t i = 0; i < widths.size() && x < drawWidth; ++i) {
            dc.DrawText(wxString(text[i]), x, 0);
            x += widths[i] + charSpacing;
        }
    }
    const wxImage image = bitmap.ConvertToImage();
    const unsigned char* rgb = image.GetData();
    for (int y = 0; y < drawHeight; ++y)
        for (int x = 0; x < drawWidth; ++x) {
            const unsigned char* p = rgb + (static_cast<size_t>(y) * drawWidth + x) * 3;
            if (p[0] == 0 && p[1] == 0 && p[2] == 0)
                raster.SetText(x, y0 + y);
        }
    return lineWidth;
}
