#include "editor/model/PreviewFit.h"

#include <algorithm>

PreviewFit FitIntoPane(int paneWidth, int paneHeight, int imageWidth, int imageHeight)
{
    PreviewFit fit;
    const bool tooWide = imageWidth > paneWidth;
    const bool tooHigh = imageHeight > paneHeight;
    const float byWidth = static_cast<float>(paneWidth) / static_cast<float>(std::max(imageWidth, 1));
    const float byHeight = static_cast<float>(paneHeight) / static_cast<float>(std::max(imageHeight, 1));
    if (tooWide && tooHigh)
        fit.factor = std::min(byWidth, byHeight);
    else if (tooWide)
        fit.factor = byWidth;
    else if (tooHigh)
        fit.factor = byHeight;
    fit.width = std::max(1, static_cast<int>(static_cast<float>(imageWidth) * fit.factor));
    fit.height = std::max(1, static_cast<int>(static_cast<float>(imageHeight) * fit.factor));
    fit.drawX = (paneWidth - fit.width) / 2;
    fit.drawY = (paneHeight - fit.height) / 2;
    return fit;
}
