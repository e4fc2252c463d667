#pragma once
// One place in the print window's sequence of images: an image of the current folder
// with its decoded picture, or an empty place left by Remove Image.

#include "platform/WinTypes.h"

#include <memory>

class CLfImage;

class CPrintCell {
public:
    // The image index of a place whose image was removed.
    static constexpr int kEmptyPlace = -1000;

    CPrintCell(int imageIndex, std::unique_ptr<CLfImage> image);
    virtual ~CPrintCell();
    CPrintCell(const CPrintCell&) = delete;
    CPrintCell& operator=(const CPrintCell&) = delete;

    bool IsEmptyPlace() const { return m_nImageIndex == kEmptyPlace; }
    // Makes this an empty place; its position and selection stay.
    void Empty();
    // Fills the place with another image of the folder.
    void Fill(int imageIndex, std::unique_ptr<CLfImage> image);

    // The picture resampled for the preview at width x height, made on first use at
    // that size: a page is repainted far more often than its pane changes size.
    const CLfImage* PreviewImage(int width, int height);

    int m_nImageIndex;      // index in the current folder's images, or kEmptyPlace
    RECT m_rcCell{};        // pane pixels, as last painted
    bool m_bSelected = false;
    std::unique_ptr<CLfImage> m_pImage;  // null when the file did not decode

private:
    std::unique_ptr<CLfImage> m_pPreview;
};
