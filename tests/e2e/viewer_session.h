// One running viewer for an end-to-end test: its own X server, a temporary folder holding a copy
// of the shipped Resources (which the test may spoil first), and the full-screen question
// answered. Gives up within bounded waits and ends everything it started.
#pragma once

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <memory>
#include <string>

#include "temp_directory.h"
#include "viewer_process.h"
#include "x11_session.h"

constexpr Seconds startupTimeout{20.0};

class ViewerSession {
public:
    ViewerSession();

    // Each step gives what went wrong, or an empty text once it has worked.
    // Starts the viewer in the folder and waits for the question box.
    std::string start();
    // Answers the question box with the key and waits for the viewer's window and first pose.
    std::string answer(KeySym key);
    std::string startAndAnswerNo();

    TempDirectory folder;
    XvfbServer server;
    std::unique_ptr<XSession> x;
    std::unique_ptr<ViewerProcess> viewer;
    Window dialog = None;
    Window window = None;
};

// The shipped Resources folder copied into the working directory.
void copyShippedResources();
