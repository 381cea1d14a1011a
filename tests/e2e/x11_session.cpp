#include "x11_session.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <png.h>
#include <thread>

#include "png_fixture.h"
#include "temp_directory.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

// A request on a window that has just gone away must fail the check that made it, not end the
// whole test binary as Xlib's default handler would.
int reportXError(Display *display, XErrorEvent *error) {
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X error in test session: %s (request %d)\n", text, error->request_code);
    return 0;
}

} // namespace

XSession::XSession(const std::string &displayName) {
    XSetErrorHandler(reportXError);
    // A server that has just announced its display may still be setting up its socket.
    for (int attempt = 0; attempt < 50 && display == nullptr; ++attempt) {
        display = XOpenDisplay(displayName.c_str());
        if (display == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
}

XSession::~XSession() {
    if (display != nullptr) {
        XCloseDisplay(display);
    }
}

WindowGeometry windowGeometry(Display *display, Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    int rootX = 0;
    int rootY = 0;
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &rootX, &rootY,
                          &child);
    return {rootX, rootY, attributes.width, attributes.height};
}

void setKey(Display *display, KeySym keysym, bool pressed) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), pressed ? True : False,
                      CurrentTime);
    XFlush(display);
}

void movePointer(Display *display, Window window, int x, int y) {
    const WindowGeometry origin = windowGeometry(display, window);
    XTestFakeMotionEvent(display, DefaultScreen(display), origin.x + x, origin.y + y, CurrentTime);
    XFlush(display);
}

Rgba Screenshot::at(int x, int y) const {
    const std::size_t offset = (std::size_t(y) * width + x) * 3;
    return {rgb[offset], rgb[offset + 1], rgb[offset + 2], 255};
}

double Screenshot::fractionNear(const Rgba &colour, int x0, int y0, int x1, int y1,
                                int tolerance) const {
    int near = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            near += nearColour(at(x, y), colour, tolerance) ? 1 : 0;
        }
    }
    return double(near) / double((x1 - x0) * (y1 - y0));
}

Screenshot captureWindow(Display *display, Window window) {
    const WindowGeometry geometry = windowGeometry(display, window);
    Screenshot shot;
    XImage *image = XGetImage(display, window, 0, 0, unsigned(geometry.width),
                              unsigned(geometry.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return shot;
    }
    shot.width = geometry.width;
    shot.height = geometry.height;
    shot.rgb.reserve(std::size_t(shot.width) * shot.height * 3);
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            shot.rgb.push_back(std::uint8_t((pixel & image->red_mask) >> 16));
            shot.rgb.push_back(std::uint8_t((pixel & image->green_mask) >> 8));
            shot.rgb.push_back(std::uint8_t(pixel & image->blue_mask));
        }
    }
    XDestroyImage(image);
    return shot;
}

void saveScreenshot(const Screenshot &shot, const std::string &path) {
    writeFile(path, encodePng(shot.width, shot.height, 3, shot.rgb));
}

Screenshot loadScreenshot(const std::string &path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Screenshot shot;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return shot;
    }
    image.format = PNG_FORMAT_RGB;
    shot.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, shot.rgb.data(), 0, nullptr)) {
        return Screenshot{};
    }
    shot.width = int(image.width);
    shot.height = int(image.height);
    return shot;
}
