// Top-level windows through Xlib and XTest, kept apart: their macros clash
// with C++ names. A title is read as the window manager reads it, from
// _NET_WM_NAME (UTF-8) or else WM_NAME in whatever encoding it was stored.
#include "tests/support/x_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <cstring>

namespace test_support {

namespace {

XErrorHandler otherErrors = nullptr;  // the handler in place before OnWindow's

// A window listed by the tree may be destroyed before it is asked about: it is
// then not the window sought, where Xlib's own handler would end the test.
int IgnoreVanishedWindow(Display* x, XErrorEvent* error)
{
    return error->error_code == BadWindow || otherErrors == nullptr ? 0 : otherErrors(x, error);
}

bool UtfNameIs(Display* x, Window window, const char* title)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* name = nullptr;
    const Atom netName = XInternAtom(x, "_NET_WM_NAME", False);
    const bool read = XGetWindowProperty(x, window, netName, 0, 1024, False, XInternAtom(x, "UTF8_STRING", False),
                                         &type, &format, &count, &after, &name) == Success;
    const bool same = read && name != nullptr && format == 8 &&
                      std::strcmp(reinterpret_cast<const char*>(name), title) == 0;
    XFree(name);
    return same;
}

bool NameIs(Display* x, Window window, const char* title)
{
    if (UtfNameIs(x, window, title))
        return true;
    XTextProperty name = {};
    if (XGetWMName(x, window, &name) == 0 || name.value == nullptr)
        return false;
    const bool same = name.format == 8 && std::strcmp(reinterpret_cast<const char*>(name.value), title) == 0;
    XFree(name.value);
    return same;
}

// The top-level window titled title, or None.
Window FindTopLevel(Display* x, const char* title)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    Window found = None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        if (NameIs(x, children[i], title))
            found = children[i];
    }
    XFree(children);
    return found;
}

bool Shown(Display* x, Window window)
{
    XWindowAttributes attributes = {};
    return XGetWindowAttributes(x, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

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

void PressReturn(Display* x, Window window)
{
    XSetInputFocus(x, window, RevertToPointerRoot, CurrentTime);
    const KeyCode key = XKeysymToKeycode(x, XK_Return);
    XTestFakeKeyEvent(x, key, True, CurrentTime);
    XTestFakeKeyEvent(x, key, False, CurrentTime);
}

// Runs act on the window titled title of display, if there is one that
// accept takes; false otherwise.
template <typename Accept, typename Act>
bool OnWindow(const std::string& display, const char* title, Accept accept, Act act)
{
    Display* const x = XOpenDisplay(display.c_str());
    if (x == nullptr)
        return false;
    otherErrors = XSetErrorHandler(IgnoreVanishedWindow);
    const Window window = FindTopLevel(x, title);
    const bool found = window != None && accept(x, window);
    if (found)
        act(x, window);
    XSync(x, False);  // every answer in while vanished windows are ignored
    XSetErrorHandler(otherErrors);
    XCloseDisplay(x);
    return found;
}

}  // namespace

bool AskToClose(const std::string& display, const char* title)
{
    return OnWindow(display, title, [](Display*, Window) { return true; }, SendDeleteRequest);
}

bool Xdotool(const std::string& display, const std::string& arguments)
{
    return std::system(("DISPLAY=" + display + " timeout 30 xdotool " + arguments).c_str()) == 0;
}

bool PressIn(const std::string& display, const char* title, const char* key)
{
    return Xdotool(display, std::string("search --sync --name '^") + title + "$' windowfocus --sync %1 key " + key);
}

bool PressReturnIn(const std::string& display, const char* title)
{
    return OnWindow(display, title, Shown, PressReturn);
}

bool ServesBoxFonts(const std::string& display)
{
    Display* const x = XOpenDisplay(display.c_str());
    if (x == nullptr)
        return false;
    int count = 0;
    char** const names = XListFonts(x, "-*-*-medium-r-normal--*-120-*-*-*-*-*-*", 1, &count);
    XFreeFontNames(names);
    XCloseDisplay(x);
    return count > 0;
}

}  // namespace test_support
