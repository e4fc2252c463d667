#pragma once
// One page layout of the print window: rows and columns of equal cells inside the
// page's margins (sizes in inches).

class PrintLayout {
public:
    PrintLayout() = default;
    virtual ~PrintLayout() = default;
    PrintLayout(const PrintLayout&) = default;
    PrintLayout& operator=(const PrintLayout&) = default;

    int m_nRows = 2;
    int m_nColumns = 2;
    float m_fPageHeight = 8.0f;
    float m_fPageWidth = 11.0f;
    float m_fVSpan = 0.25f;  // gap between neighbouring columns
    float m_fHSpan = 0.25f;  // gap between neighbouring rows
    float m_fTopMargin = 0.5f;
    float m_fBottomMargin = 0.5f;
    float m_fLeftMargin = 0.5f;
    float m_fRightMargin = 0.5f;
    float m_fPhotoHeight = 3.0f;
    float m_fPhotoWidth = 5.0f;
    int m_nPrintHead = 0;
    int m_nPrintFoot = 0;
    int m_nPageOrientation = 1;  // 1 landscape, anything else portrait
};
