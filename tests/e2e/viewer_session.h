// One running viewer for an end-to-end test: its own X server, a temporary folder holding a copy
// of the shipped Resources (which the test may spoil first), and the full-screen question
// answered. Gives up within bounded waits and ends everything it started.
#pragma once

#include <functional>
#include <glm/glm.hpp>
#include <memory>
#include <optional>
#include <string>

#include "temp_directory.h"
#include "viewer_process.h"
#include "x11_session.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

constexpr Seconds startupTimeout{20.0};

struct Pose {
    glm::vec3 position;
    glm::vec3 rotation;
};

// The pose of a "CamPos : x,y,z" line and the "CamRot : ..." line after it.
std::optional<Pose> parsePose(const std::string &positionLine, const std::string &rotationLine);

class ViewerSession {
public:
    ViewerSession();

    // Each step gives what went wrong, or an empty text once it has worked.
    // Starts the viewer in the folder and waits for the question box.
    std::string start();
    // Answers the question box with the key and waits for the viewer's window and first pose.
    std::string answer(KeySym key);
    std::string startAndAnswerNo();

    // The next complete pose the viewer prints, or nothing within the timeout.
    std::optional<Pose> nextPose(Seconds timeout = Seconds(10));
    // Poses until one satisfies the condition; nothing when none does within the timeout.
    std::optional<Pose> waitForPose(const std::function<bool(const Pose &)> &condition,
                                    Seconds timeout = Seconds(10));
    // The key is held for the given number of ticks, counted by the poses printed meanwhile.
    void holdKeyForTicks(KeySym key, int ticks);
    // Pictures of the window until one satisfies the condition; the last one taken when none
    // does within the timeout. The console runs ahead of the screen, so tests of the picture
    // wait for the picture itself.
    Screenshot waitForPicture(const std::function<bool(const Screenshot &)> &condition,
                              Seconds timeout = Seconds(10));
    // Presses Escape and gives the exit status, or -1 when the viewer did not end.
    int quit();

    TempDirectory folder;
    XvfbServer server;
    std::unique_ptr<XSession> x;
    std::unique_ptr<ViewerProcess> viewer;
    Window dialog = None;
    Window window = None;
};

// The shipped Resources folder copied into the working directory.
void copyShippedResources();
