#include "manager/ui/ImageCommands.h"

#include <wx/image.h>

#include <cstdlib>
#include <cstring>

wxBitmap BitmapOfPixels(const ThumbnailPixels& pixels)
{
    const size_t bytes = pixels.rgb.size();
    if (pixels.width <= 0 || pixels.height <= 0 || bytes != size_t(pixels.width) * size_t(pixels.height) * 3)
        return wxBitmap();
    // wxImage frees what it is given with free().
    auto* data = static_cast<unsigned char*>(std::malloc(bytes));
    if (!data)
        return wxBitmap();
    std::memcpy(data, pixels.rgb.data(), bytes);
    return wxBitmap(wxImage(pixels.width, pixels.height, data));
}
