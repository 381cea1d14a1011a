// The real viewer started on spoiled resource files: each fault prints its own line, the viewer
// keeps ticking and Escape still ends it with status 0. Pictures are compared only where the
// fault makes the expected picture certain (the shipped one, or a flat heightmap).
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "gl_program_fixture.h"
#include "viewer_session.h"

#include <X11/keysym.h>

namespace {

namespace fs = std::filesystem;

const std::string shaders = "Resources/Shaders/";
const std::string textures = "Resources/Textures/";
const std::string heightMap = textures + "HeightMap.raw";
const std::string unableToLoad = "Unable to Load HeightMap";
const std::string failedToGetData = "Failed to get Data from HeightMap";
const std::string notFound = "ERROR: Texture not found: ";
const std::vector<std::string> textureNames{"Terrain.png", "Front.png", "Back.png",  "Left.png",
                                            "Right.png",   "Top.png",   "Bottom.png"};

const Rgba clearColour{0, 178, 255, 255};

constexpr int ticksWatched = 8;
constexpr int pixelTolerance = 8;          // per channel; llvmpipe repeats itself on one machine
constexpr double samePictureBound = 0.001; // fraction of pixels allowed to differ
constexpr double otherPictureBound = 0.05; // at least this fraction differs

bool isPoseLine(const std::string &line) {
    return line.rfind("CamPos : ", 0) == 0 || line.rfind("CamRot : ", 0) == 0;
}

// What the viewer printed before its first pose: start-up messages only.
std::vector<std::string> linesBeforeFirstPose(const ViewerSession &session) {
    const std::vector<std::string> &lines = session.viewer->lines;
    const auto firstPose = std::find_if(lines.begin(), lines.end(), isPoseLine);
    return {lines.begin(), firstPose};
}

int occurrences(const std::vector<std::string> &lines, const std::string &line) {
    return int(std::count(lines.begin(), lines.end(), line));
}

// The lines printed over the next ticks, through the last of their poses.
std::vector<std::string> linesOverTicks(ViewerSession &session, int ticks) {
    const std::size_t first = session.viewer->lines.size();
    int tick = 0;
    while (tick < ticks && session.nextPose()) {
        ++tick;
    }
    const std::vector<std::string> &lines = session.viewer->lines;
    return {lines.begin() + long(std::min(first, lines.size())), lines.end()};
}

int poseCount(const std::vector<std::string> &lines) {
    return int(std::count_if(lines.begin(), lines.end(), [](const std::string &line) {
        return line.rfind("CamPos : ", 0) == 0;
    }));
}

void expectRunsOnAndQuitsCleanly(ViewerSession &session) {
    const std::vector<std::string> watched = linesOverTicks(session, ticksWatched);
    EXPECT_EQ(poseCount(watched), ticksWatched) << "the viewer stopped ticking";
    EXPECT_EQ(session.quit(), 0);
}

// A few ticks in, so that frames at the start pose have been presented.
Screenshot startPosePicture(ViewerSession &session) {
    linesOverTicks(session, 3);
    return captureWindow(session.x->display, session.window);
}

double differingFraction(const Screenshot &a, const Screenshot &b) {
    if (a.width != b.width || a.height != b.height || a.width == 0) {
        return 1.0;
    }
    int differing = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            differing += nearColour(a.at(x, y), b.at(x, y), pixelTolerance) ? 0 : 1;
        }
    }
    return double(differing) / double(a.width * a.height);
}

// The picture at the start pose with the resources spoiled first; empty when the run failed.
Screenshot pictureWith(const std::function<void()> &spoil) {
    ViewerSession session;
    spoil();
    const std::string failure = session.startAndAnswerNo();
    EXPECT_EQ(failure, "") << "while taking a reference picture";
    if (!failure.empty()) {
        return {};
    }
    const Screenshot shot = startPosePicture(session);
    EXPECT_EQ(session.quit(), 0);
    return shot;
}

// Taken once per test binary: every comparison of a run uses the same references.
const Screenshot &shippedPicture() {
    static const Screenshot shot = pictureWith([] {});
    return shot;
}

const Screenshot &flatPicture() {
    static const Screenshot shot =
        pictureWith([] { writeFile(heightMap, std::string(256 * 256, '\0')); });
    return shot;
}

TEST(ViewerBadFileTest, MissingHeightMapIsReportedBeforeTheQuestionAndTheGroundIsFlat) {
    const Screenshot &flat = flatPicture();
    ViewerSession session;
    fs::remove(heightMap);
    ASSERT_EQ(session.start(), "");
    // The heightmap is read before main runs, so its line is in the pipe while the box is shown.
    session.viewer->readPrinted();
    ASSERT_FALSE(session.viewer->lines.empty()) << "nothing printed before the question box";
    EXPECT_EQ(session.viewer->lines.front(), unableToLoad);
    ASSERT_EQ(session.answer(XK_n), "") << "the window must open all the same";
    EXPECT_EQ(occurrences(linesBeforeFirstPose(session), unableToLoad), 1);
    EXPECT_EQ(occurrences(linesBeforeFirstPose(session), failedToGetData), 0);
    EXPECT_LT(differingFraction(startPosePicture(session), flat), samePictureBound);
    expectRunsOnAndQuitsCleanly(session);
}

enum class ExpectedPicture { shipped, flat, notShipped };

struct HeightMapCase {
    const char *name;
    void (*spoil)();
    const char *message; // the one heightmap line printed, or empty
    ExpectedPicture picture;
};

std::string shippedHeightMap() {
    return readFile(sourceDirectory() + "/Resources/Textures/HeightMap.raw");
}

class ViewerBadFileHeightMapTest : public ::testing::TestWithParam<HeightMapCase> {};

TEST_P(ViewerBadFileHeightMapTest, PrintsOnlyItsOwnLineAndDrawsWhatTheFileHolds) {
    const HeightMapCase &c = GetParam();
    const Screenshot &reference =
        c.picture == ExpectedPicture::flat ? flatPicture() : shippedPicture();
    ViewerSession session;
    c.spoil();
    ASSERT_EQ(session.startAndAnswerNo(), "");
    const std::vector<std::string> startup = linesBeforeFirstPose(session);
    const std::string message = c.message;
    EXPECT_EQ(occurrences(startup, unableToLoad), 0);
    EXPECT_EQ(occurrences(startup, failedToGetData), message == failedToGetData ? 1 : 0);
    const double differing = differingFraction(startPosePicture(session), reference);
    if (c.picture == ExpectedPicture::notShipped) {
        EXPECT_GT(differing, otherPictureBound);
    } else {
        EXPECT_LT(differing, samePictureBound);
    }
    expectRunsOnAndQuitsCleanly(session);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ViewerBadFileHeightMapTest,
    ::testing::Values(
        HeightMapCase{"Short", [] { writeFile(heightMap, shippedHeightMap().substr(0, 100)); }, "",
                      ExpectedPicture::notShipped},
        HeightMapCase{"Long",
                      [] { writeFile(heightMap, shippedHeightMap() + std::string(1000, '\xff')); },
                      "", ExpectedPicture::shipped},
        HeightMapCase{"Directory",
                      [] {
                          fs::remove(heightMap);
                          makeDirectories(heightMap);
                      },
                      "Failed to get Data from HeightMap", ExpectedPicture::flat}),
    [](const auto &info) { return std::string(info.param.name); });

struct ShaderPairCase {
    const char *name;
    const char *fragmentSource;
    const char *header; // the message printed for the pair
    // Must not be printed; empty where the driver decides (a lone vertex stage may link).
    const char *absentHeader;
};

// Basic.vs writes `out vec2 fragmentTexCoord`.
const char *const syntaxError = "#version 330\nvoid main() { this is not glsl }\n";
const char *const varyingOfAnotherType = "#version 330\n"
                                         "in vec3 fragmentTexCoord;\n"
                                         "out vec4 fragmentColour;\n"
                                         "void main() { fragmentColour = vec4(fragmentTexCoord, "
                                         "1.0); }\n";

class ViewerBadFileShaderPairTest : public ::testing::TestWithParam<ShaderPairCase> {};

TEST_P(ViewerBadFileShaderPairTest, PrintsTheHeaderThenTheDriversLog) {
    const ShaderPairCase &c = GetParam();
    ViewerSession session;
    writeFile(shaders + "Basic.fs", std::string(c.fragmentSource));
    ASSERT_EQ(session.startAndAnswerNo(), "");
    const std::vector<std::string> startup = linesBeforeFirstPose(session);
    const auto header = std::find(startup.begin(), startup.end(), c.header);
    ASSERT_NE(header, startup.end()) << "no line \"" << c.header << "\" before the first pose";
    EXPECT_EQ(occurrences(startup, c.header), 1);
    if (*c.absentHeader != '\0') {
        EXPECT_EQ(occurrences(startup, c.absentHeader), 0);
    }
    ASSERT_NE(header + 1, startup.end()) << "the driver's log is missing";
    EXPECT_FALSE(header[1].empty()) << "the driver's log is missing";
    expectRunsOnAndQuitsCleanly(session);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ViewerBadFileShaderPairTest,
    ::testing::Values(ShaderPairCase{"SyntaxError", syntaxError, "Shader Compile Error:", ""},
                      ShaderPairCase{"VaryingOfAnotherType", varyingOfAnotherType,
                                     "Shader Program Link Error:", "Shader Compile Error:"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ViewerBadFileTest, LoneStageAndSubdirectoryAreReportedAndBasicStillDraws) {
    const Screenshot &shipped = shippedPicture();
    ViewerSession session;
    fs::copy_file(shaders + "Basic.vs", shaders + "Orphan.vs");
    makeDirectories(shaders + "Extra.fs");
    ASSERT_EQ(session.startAndAnswerNo(), "");
    const std::vector<std::string> startup = linesBeforeFirstPose(session);
    for (const char *path : {"Resources/Shaders/Extra.vs", "Resources/Shaders/Extra.fs",
                             "Resources/Shaders/Orphan.fs"}) {
        EXPECT_EQ(occurrences(startup, std::string("Cannot read shader source: ") + path), 1)
            << path;
    }
    EXPECT_EQ(occurrences(startup, "Cannot read shader source: Resources/Shaders/Orphan.vs"), 0);
    EXPECT_LT(differingFraction(startPosePicture(session), shipped), samePictureBound);
    expectRunsOnAndQuitsCleanly(session);
}

TEST(ViewerBadFileTest, EmptyShaderFolderPrintsNothingAndRunsOn) {
    ViewerSession session;
    fs::remove_all(shaders);
    makeDirectories(shaders);
    ASSERT_EQ(session.startAndAnswerNo(), "");
    EXPECT_EQ(linesBeforeFirstPose(session), std::vector<std::string>{});
    // Program 0 leaves the fixed-function pipeline with identity matrices: the sky cube lands
    // untransformed, its half-unit corners on the middle half of the window, in one flat colour;
    // the terrain's vertices lie beyond the near and far planes.
    const Screenshot shot = startPosePicture(session);
    ASSERT_EQ(shot.width, 800);
    ASSERT_EQ(shot.height, 600);
    EXPECT_EQ(shot.fractionNear(clearColour, 0, 0, 800, 140, 0), 1.0);
    EXPECT_EQ(shot.fractionNear(clearColour, 0, 460, 800, 600, 0), 1.0);
    EXPECT_EQ(shot.fractionNear(clearColour, 0, 0, 190, 600, 0), 1.0);
    EXPECT_EQ(shot.fractionNear(clearColour, 610, 0, 800, 600, 0), 1.0);
    const Rgba middle = shot.at(400, 300);
    EXPECT_FALSE(nearColour(middle, clearColour, pixelTolerance));
    EXPECT_EQ(shot.fractionNear(middle, 210, 160, 590, 440, 0), 1.0);
    expectRunsOnAndQuitsCleanly(session);
}

enum class Spoil { missing, empty, garbage, truncated };

struct TextureCase {
    const char *name;
    const char *file;
    Spoil spoil;
};

void spoilTexture(const std::string &path, Spoil spoil) {
    switch (spoil) {
    case Spoil::missing:
        fs::remove(path);
        break;
    case Spoil::empty:
        writeFile(path, std::string());
        break;
    case Spoil::garbage:
        writeFile(path, std::string("this is not a picture\n"));
        break;
    case Spoil::truncated:
        // The signature and header survive; the image data stops half-way.
        writeFile(path, readFile(path).substr(0, fs::file_size(path) / 2));
        break;
    }
}

class ViewerBadFileTextureTest : public ::testing::TestWithParam<TextureCase> {};

TEST_P(ViewerBadFileTextureTest, EveryFrameReportsTheTextureAndNoOther) {
    const TextureCase &c = GetParam();
    ViewerSession session;
    spoilTexture(textures + c.file, c.spoil);
    ASSERT_EQ(session.startAndAnswerNo(), "");
    const std::vector<std::string> watched = linesOverTicks(session, ticksWatched);
    ASSERT_EQ(poseCount(watched), ticksWatched) << "the viewer stopped ticking";
    EXPECT_GE(occurrences(watched, notFound + c.file), ticksWatched);
    for (const std::string &name : textureNames) {
        if (name != c.file) {
            EXPECT_EQ(occurrences(watched, notFound + name), 0) << name;
        }
    }
    EXPECT_EQ(session.quit(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ViewerBadFileTextureTest,
    ::testing::Values(TextureCase{"MissingTerrain", "Terrain.png", Spoil::missing},
                      TextureCase{"EmptyTerrain", "Terrain.png", Spoil::empty},
                      TextureCase{"GarbageTerrain", "Terrain.png", Spoil::garbage},
                      TextureCase{"MissingTop", "Top.png", Spoil::missing},
                      TextureCase{"EmptyTop", "Top.png", Spoil::empty},
                      TextureCase{"TruncatedTop", "Top.png", Spoil::truncated}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ViewerBadFileTest, NoResourcesAtAllRunsOnReportingEveryTextureEachFrame) {
    ViewerSession session;
    fs::remove_all("Resources");
    ASSERT_EQ(session.start(), "");
    session.viewer->readPrinted();
    ASSERT_FALSE(session.viewer->lines.empty()) << "nothing printed before the question box";
    EXPECT_EQ(session.viewer->lines.front(), unableToLoad);
    ASSERT_EQ(session.answer(XK_n), "");
    EXPECT_EQ(occurrences(session.viewer->lines, unableToLoad), 1);
    const std::vector<std::string> watched = linesOverTicks(session, ticksWatched);
    ASSERT_EQ(poseCount(watched), ticksWatched) << "the viewer stopped ticking";
    for (const std::string &name : textureNames) {
        EXPECT_GE(occurrences(watched, notFound + name), ticksWatched) << name;
    }
    EXPECT_EQ(session.quit(), 0);
}

} // namespace
