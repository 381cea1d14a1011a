#include "x11_window_finder.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace x11test {

namespace {

int ignoreXError(Display *, XErrorEvent *) {
    return 0;
}

// Windows of other processes come and go while we look at them; a BadWindow then must not end
// the test process through Xlib's default handler.
struct IgnoredXErrors {
    explicit IgnoredXErrors(Display *display)
        : display(display), previous(XSetErrorHandler(ignoreXError)) {}
    ~IgnoredXErrors() {
        XSync(display, False);
        XSetErrorHandler(previous);
    }
    IgnoredXErrors(const IgnoredXErrors &) = delete;
    IgnoredXErrors &operator=(const IgnoredXErrors &) = delete;

    Display *display;
    XErrorHandler previous;
};

Window searchBelow(Display *display, Window parent, const std::string &title) {
    Window root = None;
    Window grandparent = None;
    Window *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, parent, &root, &grandparent, &children, &count) == 0) {
        return None;
    }
    Window found = None;
    for (unsigned i = 0; i < count && found == None; ++i) {
        found = windowTitle(display, children[i]) == title
                    ? children[i]
                    : searchBelow(display, children[i], title);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

} // namespace

Display *openDisplay(std::chrono::milliseconds timeout) {
    Display *display = nullptr;
    waitUntil([&] { return (display = XOpenDisplay(nullptr)) != nullptr; }, timeout);
    return display;
}

std::string netWmName(Display *display, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char *data = nullptr;
    const int status = XGetWindowProperty(
        display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 1024, False,
        XInternAtom(display, "UTF8_STRING", False), &type, &format, &count, &remaining, &data);
    std::string title;
    if (status == Success && data != nullptr && format == 8) {
        title.assign(reinterpret_cast<const char *>(data), count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return title;
}

std::string wmName(Display *display, Window window) {
    char *name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

std::string windowTitle(Display *display, Window window) {
    const std::string title = netWmName(display, window);
    return title.empty() ? wmName(display, window) : title;
}

Window findWindowByTitle(Display *display, const std::string &title) {
    IgnoredXErrors ignored(display);
    return searchBelow(display, DefaultRootWindow(display), title);
}

Window waitForWindowByTitle(Display *display, const std::string &title,
                            std::chrono::milliseconds timeout) {
    Window found = None;
    waitUntil([&] { return (found = findWindowByTitle(display, title)) != None; }, timeout);
    return found;
}

bool waitForInputFocus(Display *display, Window window, std::chrono::milliseconds timeout) {
    return waitUntil(
        [&] {
            Window focus = None;
            int revert = 0;
            XGetInputFocus(display, &focus, &revert);
            return focus == window;
        },
        timeout);
}

void pressKey(Display *display, KeySym keysym) {
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

void clickAt(Display *display, Window window, int x, int y) {
    int rootX = 0;
    int rootY = 0;
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XFlush(display);
}

void requestClose(Display *display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace x11test
