// Start-up of the real `terrain` with the shipped Resources, from exec to its first presented
// frame, the full-screen question answered No through XTest as soon as it has the focus;
// against SOIL alone loading the seven shipped PNGs; and the viewer's peak resident memory.
// Starts an Xvfb of its own, so it needs no display. Usage: startup_benchmark [runs]
#include "platform/gl.h"

#include <SOIL/SOIL.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "gl_program_fixture.h"
#include "process_status.h"
#include "temp_directory.h"
#include "viewer_process.h"
#include "viewer_session.h"
#include "x11_session.h"
#include "x11_window_finder.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto pollInterval = std::chrono::milliseconds(1);
constexpr auto stepTimeout = std::chrono::seconds(30);
constexpr auto runningBeforeQuit = std::chrono::seconds(1); // frames after the first one
constexpr unsigned soilFlags = 178; // the viewer's: mipmaps, inverted y, NTSC-safe, DXT
const char *const shippedTextures[] = {"Terrain.png", "Front.png", "Back.png",  "Left.png",
                                       "Right.png",   "Top.png",   "Bottom.png"};

double millisecondsSince(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// Polling while the viewer's window is still unmapped gives BadMatch; that is an answer, not
// an error worth a line.
int ignoreXError(Display *, XErrorEvent *) {
    return 0;
}

// Two full-width rows near the top and the bottom of the window, far from the question box,
// which sits at the window's centre and may leave its pixels behind in a window that has no
// background of its own. Empty while the window cannot be read.
std::vector<unsigned long> edgeRows(Display *display, Window window) {
    std::vector<unsigned long> pixels;
    const WindowGeometry geometry = windowGeometry(display, window);
    for (const int y : {8, geometry.height - 8}) {
        XImage *row =
            XGetImage(display, window, 0, y, unsigned(geometry.width), 1, AllPlanes, ZPixmap);
        if (row == nullptr) {
            return {};
        }
        for (int x = 0; x < geometry.width; ++x) {
            pixels.push_back(XGetPixel(row, x, 0) & 0xffffff);
        }
        XDestroyImage(row);
    }
    return pixels;
}

// Nothing but the viewer's swap writes to its window, so once the rows hold something other
// than what they showed before the answer, and it is not all black, a frame has been presented.
bool presented(const std::vector<unsigned long> &rows, const std::vector<unsigned long> &before) {
    return !rows.empty() && rows != before &&
           std::any_of(rows.begin(), rows.end(), [](unsigned long pixel) { return pixel != 0; });
}

bool hasFocus(Display *display, Window window) {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus == window;
}

template <typename Condition> std::optional<Clock::time_point> pollUntil(Condition condition) {
    const auto deadline = Clock::now() + stepTimeout;
    while (Clock::now() < deadline) {
        if (condition()) {
            return Clock::now();
        }
        std::this_thread::sleep_for(pollInterval);
    }
    return std::nullopt;
}

struct StartupRun {
    double boxFoundMs = 0.0; // exec to the question box's window existing
    double boxReadyMs = 0.0; // exec to the box holding the focus: the user can answer
    double answerToFrameMs = 0.0;
    double answerToPoseMs = 0.0; // the first pose line
    double peakResidentKiB = 0.0;
};

// One start of the viewer in a fresh copy of the shipped Resources; the failure in `failure`.
std::optional<StartupRun> startViewer(XSession &x, const std::string &display,
                                      std::string &failure) {
    TempDirectory folder;
    copyShippedResources();
    StartupRun run;
    const auto exec = Clock::now();
    ViewerProcess viewer(viewerExecutable(), folder.path, display);
    Window box = None;
    const auto boxFound = pollUntil(
        [&] { return (box = x11test::findWindowByTitle(x.display, "Start FullScreen?")) != None; });
    if (!boxFound) {
        failure = "the question box did not appear";
        return std::nullopt;
    }
    const auto boxReady = pollUntil([&] { return hasFocus(x.display, box); });
    const Window window = x11test::findWindowByTitle(x.display, "Terrain");
    if (!boxReady || window == None) {
        failure = "the question box never took the focus, or there is no Terrain window";
        return std::nullopt;
    }
    const std::vector<unsigned long> before = edgeRows(x.display, window);
    x11test::pressKey(x.display, XK_n);
    const auto answer = Clock::now();
    // The idle tick prints its pose right after a frame: a cross-check of the pixel signal.
    std::optional<Clock::time_point> firstPose;
    const auto firstFrame = pollUntil([&] {
        viewer.readPrinted();
        if (!firstPose && viewer.lastLineStartingWith("CamPos : ")) {
            firstPose = Clock::now();
        }
        return presented(edgeRows(x.display, window), before);
    });
    if (!firstFrame) {
        failure = "no frame was presented after the answer";
        return std::nullopt;
    }
    if (!firstPose && viewer.waitForLineStartingWith("CamPos : ", Seconds(10))) {
        firstPose = Clock::now();
    }
    if (!firstPose) {
        failure = "the viewer printed no pose";
        return std::nullopt;
    }
    run.answerToPoseMs = millisecondsSince(answer, *firstPose);
    run.boxFoundMs = millisecondsSince(exec, *boxFound);
    run.boxReadyMs = millisecondsSince(exec, *boxReady);
    run.answerToFrameMs = millisecondsSince(answer, *firstFrame);

    std::this_thread::sleep_for(runningBeforeQuit);
    viewer.readPrinted();
    const std::optional<pid_t> pid = childRunning(viewerExecutable());
    const std::optional<long> peak = pid ? statusKiB(*pid, "VmHWM") : std::nullopt;
    XSetInputFocus(x.display, window, RevertToParent, CurrentTime);
    setKey(x.display, XK_Escape, true);
    setKey(x.display, XK_Escape, false);
    if (!peak || viewer.waitForExit(Seconds(10)) != 0) {
        failure = "the viewer's memory could not be read or Escape did not end it with 0";
        return std::nullopt;
    }
    run.peakResidentKiB = double(*peak);
    return run;
}

// SOIL's own decoding and upload of the seven PNGs, with the GL done, in milliseconds.
double loadShippedTexturesWithSoil() {
    std::vector<GLuint> textures;
    const auto start = Clock::now();
    for (const char *name : shippedTextures) {
        const std::string path = sourceDirectory() + "/Resources/Textures/" + name;
        textures.push_back(
            SOIL_load_OGL_texture(path.c_str(), SOIL_LOAD_AUTO, SOIL_CREATE_NEW_ID, soilFlags));
    }
    glFinish();
    const double elapsed = millisecondsSince(start, Clock::now());
    if (std::count(textures.begin(), textures.end(), 0u) != 0) {
        return -1.0;
    }
    glDeleteTextures(GLsizei(textures.size()), textures.data());
    return elapsed;
}

// A small window of its own in the corner, clear of the viewer's centred one.
void openSoilContext(const std::string &display) {
    setenv("DISPLAY", display.c_str(), 1);
    int argc = 1;
    char name[] = "startup_benchmark";
    char *argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("SOIL baseline");
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char **argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    if (runs < 1) {
        std::fprintf(stderr, "usage: startup_benchmark [runs >= 1]\n");
        return 2;
    }
    XvfbServer server;
    XSession x(server.display);
    if (server.display.empty() || x.display == nullptr) {
        std::fprintf(stderr, "startup_benchmark: Xvfb did not start\n");
        return 1;
    }
    XSetErrorHandler(ignoreXError);
    openSoilContext(server.display);

    std::vector<double> toBox, toFrame, answerToFrame, answerToPose, soil, peak;
    // Run 0 warms the page cache and the loader and is not counted.
    for (int run = 0; run <= runs; ++run) {
        std::string failure;
        const std::optional<StartupRun> viewer = startViewer(x, server.display, failure);
        if (!viewer) {
            std::fprintf(stderr, "startup_benchmark: run %d: %s\n", run, failure.c_str());
            return 1;
        }
        const double soilMs = loadShippedTexturesWithSoil();
        if (soilMs < 0.0) {
            std::fprintf(stderr, "startup_benchmark: SOIL failed to load a shipped PNG\n");
            return 1;
        }
        const double totalMs = viewer->boxReadyMs + viewer->answerToFrameMs;
        std::printf("run %d%s: box found %.1f ms, box ready %.1f ms, answer to first frame %.1f "
                    "ms (first pose line %.1f ms), exec to first frame without the answer %.1f ms; "
                    "SOIL alone %.1f ms; VmHWM %.1f MiB\n",
                    run, run == 0 ? " (warm-up)" : "", viewer->boxFoundMs, viewer->boxReadyMs,
                    viewer->answerToFrameMs, viewer->answerToPoseMs, totalMs, soilMs,
                    viewer->peakResidentKiB / 1024.0);
        if (run > 0) {
            toBox.push_back(viewer->boxReadyMs);
            answerToFrame.push_back(viewer->answerToFrameMs);
            answerToPose.push_back(viewer->answerToPoseMs);
            toFrame.push_back(totalMs);
            soil.push_back(soilMs);
            peak.push_back(viewer->peakResidentKiB / 1024.0);
        }
    }
    std::printf("median of %d: exec to box ready %.1f ms, answer to first pose line %.1f ms, "
                "answer to first frame %.1f ms, exec to first frame without the answer %.1f ms, "
                "SOIL alone %.1f ms, ratio %.2f; viewer peak resident memory (VmHWM) %.1f MiB\n",
                runs, median(toBox), median(answerToPose), median(answerToFrame), median(toFrame),
                median(soil), median(toFrame) / median(soil), median(peak));
    // GLUT's connection goes before the server does, or its exit handler reports a lost server.
    glutExit();
    return 0;
}
