// Finds another process's top-level window on the X display by its title and drives it with
// XTest, for tests of windows the test does not own. Every wait is bounded by its timeout.
// Keys are sent unshifted; the display must have the XTest extension.
#pragma once

#include <chrono>
#include <string>
#include <thread>

#include <X11/Xlib.h>

namespace x11test {

// XOpenDisplay(nullptr), tried again until timeout: an X server without -noreset (xvfb-run's
// default) starts over whenever its last client leaves and refuses connections meanwhile.
// nullptr when no connection came about.
Display *openDisplay(std::chrono::milliseconds timeout);

// A window's title as EWMH window managers read it (_NET_WM_NAME, UTF-8), as older ones read it
// (WM_NAME), and the first of the two that is set. Empty when there is none.
std::string netWmName(Display *display, Window window);
std::string wmName(Display *display, Window window);
std::string windowTitle(Display *display, Window window);

// The first window anywhere below the root whose title is exactly title, or None. Windows that
// vanish during the search are passed over. A reparenting window manager's frames are searched
// through, so the result is the client window itself.
Window findWindowByTitle(Display *display, const std::string &title);
Window waitForWindowByTitle(Display *display, const std::string &title,
                            std::chrono::milliseconds timeout);

// Polls condition() every 20 ms until it is true (gives true) or timeout has passed (false).
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// True once window holds the keyboard focus, false if it does not within timeout.
bool waitForInputFocus(Display *display, Window window, std::chrono::milliseconds timeout);

// Synthetic input through XTest: a press and release of the key of keysym (XK_Return, XK_y,
// ...), and a left click at (x, y) in window's own coordinates. Both are flushed.
void pressKey(Display *display, KeySym keysym);
void clickAt(Display *display, Window window, int x, int y);

// What a window manager sends when the user closes the window: WM_PROTOCOLS/WM_DELETE_WINDOW.
void requestClose(Display *display, Window window);

} // namespace x11test
