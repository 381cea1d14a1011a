#include "viewer_session.h"

#include <filesystem>

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
        return std::string("cannot connect to Xvfb on ") + server.display;
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
    if (!viewer->waitForLineStartingWith("CamPos : ", startupTimeout)) {
        return "the viewer printed no pose";
    }
    return "";
}

std::string ViewerSession::startAndAnswerNo() {
    const std::string failure = start();
    return failure.empty() ? answer(XK_n) : failure;
}

void copyShippedResources() {
    std::filesystem::copy(sourceDirectory() + "/Resources", "Resources",
                          std::filesystem::copy_options::recursive);
}
