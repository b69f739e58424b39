// The close request through Xlib, kept apart: its macros clash with C++ names.
#include "tests/faults/window_close.h"

#include <X11/Xlib.h>

#include <cstring>

namespace fault_test {

namespace {

void SendDeleteRequest(Display* x, Window window)
{
    XEvent close = {};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window, False, NoEventMask, &close);
}

}  // namespace

bool AskToClose(const std::string& display, const char* title)
{
    Display* const x = XOpenDisplay(display.c_str());
    if (x == nullptr)
        return false;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    bool sent = false;
    for (unsigned int i = 0; i < count && !sent; ++i) {
        char* name = nullptr;
        if (XFetchName(x, children[i], &name) != 0 && name != nullptr && std::strcmp(name, title) == 0) {
            SendDeleteRequest(x, children[i]);
            sent = true;
        }
        XFree(name);
    }
    XFree(children);
    XCloseDisplay(x);
    return sent;
}

}  // namespace fault_test
