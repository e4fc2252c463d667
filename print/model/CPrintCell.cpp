#include "print/model/CPrintCell.h"

#include "image/CLfImage.h"

CPrintCell::CPrintCell(int imageIndex, std::unique_ptr<CLfImage> image)
    : m_nImageIndex(imageIndex), m_pImage(std::move(image))
{
}

CPrintCell::~CPrintCell() = default;

void CPrintCell::Empty()
{
    m_nImageIndex = kEmptyPlace;
    m_pImage.reset();
    m_pPreview.reset();
}

void CPrintCell::Fill(int imageIndex, std::unique_ptr<CLfImage> image)
{
    m_nImageIndex = imageIndex;
    m_pImage = std::move(image);
    m_pPreview.reset();
}

const CLfImage* CPrintCell::PreviewImage(int width, int height)
{
    if (!m_pImage || width <= 0 || height <= 0)
        return nullptr;
    if (m_pPreview && m_pPreview->GetWidth() == width && m_pPreview->GetHeight() == height)
        return m_pPreview.get();
    auto preview = std::make_unique<CLfImage>(*m_pImage, true, true, true);
    // Bilinear or area averaging: the picture is reduced to a few hundred pixels.
    if (!preview->Resample(width, height, 3))
        return nullptr;
    // Transparent parts show on white paper.
    preview->info.transColor = RGBQUAD{255, 255, 255, 0};
    preview->AlphaStrip();
    m_pPreview = std::move(preview);
    return m_pPreview.get();
}
