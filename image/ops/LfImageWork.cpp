#include "image/ops/LfImageWork.h"

namespace lfimg {

bool CreateWorkImage(CLfImage& src, CLfImage& out, int64_t width, int64_t height, uint32_t bpp)
{
    out.Init(0);
    out.CopyInfo(src);
    if (!out.Create(width, height, bpp, src.GetType())) {
        src.SetLastError(out.GetLastError());
        return false;
    }
    // Create keeps the header's own resolution fields: bring them in line with the
    // copied DPI so an encoder writes the source's resolution.
    out.SetXDPI(src.info.xDpi);
    out.SetYDPI(src.info.yDpi);
    if (out.GetNumColors() && src.GetNumColors())
        out.SetPalette(src.GetPalette(), src.GetNumColors());
    return true;
}

void DeliverResult(CLfImage& self, CLfImage& result, CLfImage* destination)
{
    (destination ? *destination : self).Transfer(result);
}

}  // namespace lfimg
