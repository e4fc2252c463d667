#pragma once
// The image view's print job: one page with the image centred on it at the largest
// size that keeps its proportions. Print and Print Preview both run it.

#include <wx/print.h>

class CPixoroView;

class CPixoroPrintout : public wxPrintout {
public:
    explicit CPixoroPrintout(CPixoroView* view);

    bool OnPrintPage(int page) override;
    bool HasPage(int page) override { return page == 1; }
    void GetPageInfo(int* minPage, int* maxPage, int* fromPage, int* toPage) override;

private:
    CPixoroView* m_view;  // not owned; the framework ends the job before the view goes
};
