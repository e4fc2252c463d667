#include "editor/ui/CPixoroPrintout.h"

#include "editor/ui/CPixoroView.h"

CPixoroPrintout::CPixoroPrintout(CPixoroView* view) : wxPrintout("Lanternfolio Photo Editor"), m_view(view) {}

void CPixoroPrintout::GetPageInfo(int* minPage, int* maxPage, int* fromPage, int* toPage)
{
    *minPage = *maxPage = *fromPage = *toPage = 1;
}

bool CPixoroPrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc || !m_view || page != 1)
        return false;
    // Drawn in the printer's own pixels; on a preview the page is scaled down to fit.
    int width = 0;
    int height = 0;
    GetPageSizePixels(&width, &height);
    if (width <= 0 || height <= 0)
        return false;
    FitThisSizeToPage(wxSize(width, height));
    m_view->DrawForPrint(*dc, {width, height});
    return true;
}
