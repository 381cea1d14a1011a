// The test's own connection to the viewer's X server: what the window finder does not cover
// (held keys, pointer moves, geometry, screenshots), all through XTest and core requests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rgba.h"

#include <X11/Xlib.h>

class XSession {
public:
    explicit XSession(const std::string &displayName);
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    Display *display = nullptr;
};

struct WindowGeometry {
    int x; // root coordinates of the top-left corner
    int y;
    int width;
    int height;
};

WindowGeometry windowGeometry(Display *display, Window window);

void setKey(Display *display, KeySym keysym, bool pressed);
// Moves the pointer to (x, y) in the window's own coordinates.
void movePointer(Display *display, Window window, int x, int y);

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows top to bottom

    Rgba at(int x, int y) const; // origin at the top left, alpha 255
    // Fraction of pixels within tolerance of the colour, over the rectangle.
    double fractionNear(const Rgba &colour, int x0, int y0, int x1, int y1, int tolerance) const;
};

Screenshot captureWindow(Display *display, Window window);
void saveScreenshot(const Screenshot &shot, const std::string &path);
Screenshot loadScreenshot(const std::string &path);
