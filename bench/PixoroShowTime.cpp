// Starts the editor on a picture and prints the milliseconds until its window shows the
// picture: the middle of the window turns from the grey of an empty view (or the
// toolkit's background) to the picture's colours. Used by pixoro-open-vs-djpeg.sh;
// the picture must be coloured in its middle.
//   PixoroShowTime <pixoro> <picture>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

long WindowPid(Display* display, Window window)
{
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success &&
        data && count == 1)
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

// True once the largest shown window of pid is coloured in its middle.
bool PictureShown(Display* display, pid_t pid)
{
    Window root = DefaultRootWindow(display), rootOut, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &rootOut, &parent, &children, &count))
        return false;
    bool shown = false;
    Window best = 0;
    int bestArea = 0, bestW = 0, bestH = 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (WindowPid(display, children[i]) == pid && XGetWindowAttributes(display, children[i], &a) &&
            a.map_state == IsViewable && a.width * a.height > bestArea) {
            best = children[i];
            bestArea = a.width * a.height;
            bestW = a.width;
            bestH = a.height;
        }
    }
    if (children)
        XFree(children);
    if (best) {
        XImage* image = XGetImage(display, best, bestW / 2, bestH / 2, 1, 1, AllPlanes, ZPixmap);
        if (image) {
            const unsigned long p = XGetPixel(image, 0, 0);
            const int r = int((p >> 16) & 0xff), g = int((p >> 8) & 0xff), b = int(p & 0xff);
            shown = std::max({r, g, b}) - std::min({r, g, b}) > 40;
            XDestroyImage(image);
        }
    }
    return shown;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <pixoro> <picture>\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    XSetErrorHandler(IgnoreErrors);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(argv[1], argv[1], argv[2], static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto until = start + std::chrono::seconds(60);
    bool shown = false;
    while (!shown && std::chrono::steady_clock::now() < until) {
        shown = PictureShown(display, pid);
        if (!shown)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    if (!shown)
        return 1;
    std::printf("%.1f\n", ms);
    return 0;
}
