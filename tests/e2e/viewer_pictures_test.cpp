// The viewer's picture at fixed poses against reference images committed beside this file.
// Software rasterisers differ in the last bits between CPUs, so a pixel matches within 16 per
// channel and at most 0.5 % of pixels may differ. VIEWER_UPDATE_REFERENCES=1 rewrites them.
#include <cstdlib>
#include <gtest/gtest.h>

#include "gl_program_fixture.h"
#include "viewer_session.h"

#include <X11/keysym.h>

namespace {

constexpr int channelTolerance = 16;
constexpr double differingPixelBound = 0.005;

std::string referencePath(const std::string &name) {
    return sourceDirectory() + "/tests/e2e/reference/" + name + ".png";
}

double fractionDiffering(const Screenshot &a, const Screenshot &b) {
    int differing = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            differing += nearColour(a.at(x, y), b.at(x, y), channelTolerance) ? 0 : 1;
        }
    }
    return double(differing) / double(a.width * a.height);
}

void expectMatchesReference(ViewerSession &session, const std::string &name) {
    const Screenshot reference = loadScreenshot(referencePath(name));
    if (std::getenv("VIEWER_UPDATE_REFERENCES") != nullptr) {
        // Two frames in a row must agree before a picture can serve as a reference.
        session.nextPose();
        const Screenshot first = captureWindow(session.x->display, session.window);
        const Screenshot shot = session.waitForPicture(
            [&](const Screenshot &next) { return fractionDiffering(first, next) == 0.0; });
        saveScreenshot(shot, referencePath(name));
        GTEST_SKIP() << "rewrote " << referencePath(name);
    }
    ASSERT_EQ(reference.width, 800) << "no reference image " << referencePath(name);
    const Screenshot shot = session.waitForPicture([&](const Screenshot &next) {
        return fractionDiffering(reference, next) <= differingPixelBound;
    });
    const double differing = fractionDiffering(reference, shot);
    if (differing > differingPixelBound) {
        saveScreenshot(shot, ::testing::TempDir() + name + "-actual.png");
    }
    EXPECT_LE(differing, differingPixelBound)
        << name << ": the picture left in " << ::testing::TempDir() << name << "-actual.png";
}

class ViewerPicturesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(session.startAndAnswerNo(), ""); }
    void TearDown() override { EXPECT_EQ(session.quit(), 0); }

    // One pointer event at an offset from the centre turns the camera by an exact amount.
    void lookBy(int dx, int dy) {
        const glm::vec3 before = session.nextPose()->rotation;
        movePointer(session.x->display, session.window, 400 + dx, 300 + dy);
        ASSERT_TRUE(session.waitForPose([&](const Pose &p) { return p.rotation != before; }));
    }

    ViewerSession session;
};

TEST_F(ViewerPicturesTest, StartPose) {
    expectMatchesReference(session, "start_pose");
}

TEST_F(ViewerPicturesTest, AfterLookingRightAndUp) {
    lookBy(80, 0);
    lookBy(0, -60);
    const Pose pose = *session.nextPose();
    ASSERT_FLOAT_EQ(pose.rotation.y, -21.5f);
    ASSERT_FLOAT_EQ(pose.rotation.x, -30.0f);
    expectMatchesReference(session, "looked_right_and_up");
}

TEST_F(ViewerPicturesTest, WireframeAtTheStartPose) {
    setKey(session.x->display, XK_t, true);
    setKey(session.x->display, XK_t, false);
    session.waitForPose([](const Pose &) { return true; });
    expectMatchesReference(session, "wireframe_start_pose");
}

} // namespace
