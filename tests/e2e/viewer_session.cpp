#include "viewer_session.h"

#include <cstdio>
#include <filesystem>
#include <thread>

#include "gl_program_fixture.h"
#include "x11_window_finder.h"

namespace {

constexpr std::chrono::milliseconds windowTimeout{20000};

} // namespace

ViewerSession::ViewerSession() {
    copyShippedResources();
}

std::string ViewerSession::start() {
    if (server.display.empty()) {
        return "Xvfb did not start";
    }
    x = std::make_unique<XSession>(server.display);
    if (x->display == nullptr) {
        return "cannot connect to Xvfb on " + server.display + ", " + server.state();
    }
    viewer = std::make_unique<ViewerProcess>(viewerExecutable(), folder.path, server.display);
    dialog = x11test::waitForWindowByTitle(x->display, "Start FullScreen?", windowTimeout);
    return dialog == None ? "the full-screen question did not appear" : "";
}

std::string ViewerSession::answer(KeySym key) {
    if (!x11test::waitForInputFocus(x->display, dialog, windowTimeout)) {
        return "the full-screen question never took the input focus";
    }
    x11test::pressKey(x->display, key);
    window = x11test::waitForWindowByTitle(x->display, "Terrain", windowTimeout);
    if (window == None) {
        return "no window titled Terrain";
    }
    // Without a window manager nobody gives the new window the keyboard; a user would click it.
    XSetInputFocus(x->display, window, RevertToParent, CurrentTime);
    XSync(x->display, False);
    if (!viewer->waitForLineStartingWith("CamPos : ", startupTimeout)) {
        return "the viewer printed no pose";
    }
    return "";
}

std::string ViewerSession::startAndAnswerNo() {
    const std::string failure = start();
    return failure.empty() ? answer(XK_n) : failure;
}

std::optional<Pose> parsePose(const std::string &positionLine, const std::string &rotationLine) {
    Pose pose{};
    glm::vec3 &p = pose.position;
    glm::vec3 &r = pose.rotation;
    if (std::sscanf(positionLine.c_str(), "CamPos : %f,%f,%f", &p.x, &p.y, &p.z) != 3 ||
        std::sscanf(rotationLine.c_str(), "CamRot : %f,%f,%f", &r.x, &r.y, &r.z) != 3) {
        return std::nullopt;
    }
    return pose;
}

std::optional<Pose> ViewerSession::nextPose(Seconds timeout) {
    const auto position = viewer->waitForLineStartingWith("CamPos : ", timeout);
    const auto rotation = viewer->nextLine(timeout);
    if (!position || !rotation) {
        return std::nullopt;
    }
    return parsePose(*position, *rotation);
}

std::optional<Pose> ViewerSession::waitForPose(const std::function<bool(const Pose &)> &condition,
                                               Seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto pose = nextPose(timeout);
        if (pose && condition(*pose)) {
            return pose;
        }
    }
    return std::nullopt;
}

void ViewerSession::holdKeyForTicks(KeySym key, int ticks) {
    setKey(x->display, key, true);
    for (int tick = 0; tick < ticks; ++tick) {
        nextPose();
    }
    setKey(x->display, key, false);
}

Screenshot ViewerSession::waitForPicture(const std::function<bool(const Screenshot &)> &condition,
                                         Seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Screenshot shot = captureWindow(x->display, window);
    while (!condition(shot) && std::chrono::steady_clock::now() < deadline) {
        viewer->readPrinted();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        shot = captureWindow(x->display, window);
    }
    return shot;
}

int ViewerSession::quit() {
    setKey(x->display, XK_Escape, true);
    setKey(x->display, XK_Escape, false);
    return viewer->waitForExit(Seconds(10)).value_or(-1);
}

void copyShippedResources() {
    std::filesystem::copy(sourceDirectory() + "/Resources", "Resources",
                          std::filesystem::copy_options::recursive);
}
