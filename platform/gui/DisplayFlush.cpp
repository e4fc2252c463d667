#include "platform/gui/DisplayFlush.h"

#include <wx/utils.h>

#if defined(__WXGTK__) && defined(__UNIX__)
#include <X11/Xlib.h>
#endif

namespace lfplat {

void FlushDisplay()
{
#if defined(__WXGTK__) && defined(__UNIX__)
    // Null when the toolkit does not speak X (a Wayland session flushes on its own).
    if (Display* display = wxGetX11Display())
        XFlush(display);
#endif
}

}  // namespace lfplat
