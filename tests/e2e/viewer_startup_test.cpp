// The real viewer from exec to Escape, as a user meets it.
#include <gtest/gtest.h>

#include "viewer_session.h"

#include <X11/keysym.h>

namespace {

const Rgba clearColour{0, 178, 255, 255};

TEST(ViewerStartupTest, AnsweringNoOpensTheCentredWindowAndEscapeExitsCleanly) {
    ViewerSession session;
    ASSERT_EQ(session.startAndAnswerNo(), "");
    const WindowGeometry geometry = windowGeometry(session.x->display, session.window);
    EXPECT_EQ(geometry.width, 800);
    EXPECT_EQ(geometry.height, 600);
    EXPECT_EQ(geometry.x, (session.server.width - 800) / 2);
    EXPECT_EQ(geometry.y, (session.server.height - 600) / 2);

    const std::vector<std::string> &lines = session.viewer->lines;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "CamPos : -1.500000,190.000000,220.000000");
    EXPECT_EQ(session.viewer->nextLine(Seconds(5)), "CamRot : -45.000000,-1.500000,0.000000");

    EXPECT_EQ(session.quit(), 0);
}

TEST(ViewerStartupTest, DrawsTheTerrainUnderTheSky) {
    ViewerSession session;
    ASSERT_EQ(session.startAndAnswerNo(), "");
    session.viewer->waitForLineStartingWith("CamPos : ", Seconds(5));
    const Screenshot shot = captureWindow(session.x->display, session.window);
    ASSERT_EQ(shot.width, 800);
    saveScreenshot(shot, "startup.png");
    // At the start pose the lower middle of the picture is terrain.
    EXPECT_LT(shot.fractionNear(clearColour, 300, 450, 500, 590, 8), 0.05);
    EXPECT_LT(shot.fractionNear(clearColour, 0, 0, 800, 600, 8), 0.05)
        << "the sky cube covers every pixel the terrain leaves";
    EXPECT_EQ(session.quit(), 0);
}

} // namespace
