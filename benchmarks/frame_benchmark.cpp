// Frame time of the viewer's onDisplay in a real 800 x 600 GLUT window with the shipped scene,
// against a bare frame that draws the same buffers with the same textures and nothing else.
// Needs an X display (run it under xvfb-run); wall time, since the GL draws on its own threads.
#include "platform/gl.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <unistd.h>
#include <vector>

#include "app/frame_rendering.h"
#include "app/scene_state.h"
#include "controls/camera.h"
#include "controls/input_handlers.h"
#include "platform/platform.h"
#include "scene/skybox.h"
#include "scene/terrain.h"
#include "texturing/texture_manager.h"

namespace {

using Clock = std::chrono::steady_clock;

// The viewer reads its heightmap before main() from the working directory, so the benchmark
// enters the source tree before any of the scene's own initialisers run (they have the default
// priority) and finds the shipped Resources just as the viewer finds them.
struct SourceTreeEntry {
    SourceTreeEntry() {
        if (chdir(VIEWER_SOURCE_DIR) != 0) {
            std::fprintf(stderr, "frame_benchmark: cannot enter %s\n", VIEWER_SOURCE_DIR);
        }
    }
};
__attribute__((init_priority(101))) const SourceTreeEntry sourceTreeEntry;

constexpr int skyFaces = 6;
constexpr int verticesPerFace = 6;
constexpr GLsizei skyStride = 5 * sizeof(float);             // bytes: x, y, z, u, v
constexpr std::size_t skyTexCoordOffset = 3 * sizeof(float); // bytes

// What the bare frame needs, found once: it stands for the least any frame of this scene costs.
struct BareScene {
    GLuint program = 0;
    GLint modelLocation = -1;
    GLint viewLocation = -1;
    GLint projectionLocation = -1;
    glm::mat4 projection{1.0f};
    glm::mat4 view{1.0f};
    glm::mat4 skyView{1.0f};
    glm::mat4 skyModel{1.0f};
    glm::mat4 terrainModel{1.0f};
    GLuint faceTextures[skyFaces] = {};
    GLuint terrainTexture = 0;
};

GLuint textureNamed(const std::string &name) {
    const auto &textures = TextureManager::getInstance()->textures;
    const auto entry = textures.find(name);
    return entry == textures.end() ? 0 : entry->second;
}

BareScene bareScene() {
    BareScene scene;
    scene.program = basicProgram;
    scene.modelLocation = glGetUniformLocation(basicProgram, "modelMatrix");
    scene.viewLocation = glGetUniformLocation(basicProgram, "viewMatrix");
    scene.projectionLocation = glGetUniformLocation(basicProgram, "projectionMatrix");
    scene.projection = frameProjection(windowWidth, windowHeight);
    scene.view = camera->getViewMatrix();
    scene.skyView = withoutTranslation(scene.view);
    scene.terrainModel =
        glm::translate(glm::mat4(1.0f),
                       glm::vec3(float(-(terrain->width / 2)), 0.0f, float(-(terrain->depth / 2))));
    const char *faces[skyFaces] = {"Front.png", "Back.png", "Left.png",
                                   "Right.png", "Top.png",  "Bottom.png"};
    for (int face = 0; face < skyFaces; ++face) {
        scene.faceTextures[face] = textureNamed(faces[face]);
    }
    scene.terrainTexture = textureNamed(terrain->textureName);
    return scene;
}

void upload(GLint location, const glm::mat4 &matrix) {
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(matrix));
}

// The sky's and the terrain's draws as onDisplay issues them, without the name lookups, the
// texture enables and the sky's per-face texture parameters (they stay as onDisplay set them).
void drawBareFrame(const BareScene &scene) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(scene.program);
    upload(scene.projectionLocation, scene.projection);
    upload(scene.viewLocation, scene.skyView);
    upload(scene.modelLocation, scene.skyModel);
    glBindBuffer(GL_ARRAY_BUFFER, skybox->vertexBuffer);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, skyStride, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, skyStride,
                          reinterpret_cast<const void *>(skyTexCoordOffset));
    for (int face = 0; face < skyFaces; ++face) {
        glBindTexture(GL_TEXTURE_2D, scene.faceTextures[face]);
        glDrawArrays(GL_TRIANGLES, face * verticesPerFace, verticesPerFace);
    }

    upload(scene.viewLocation, scene.view);
    upload(scene.modelLocation, scene.terrainModel);
    glBindBuffer(GL_ARRAY_BUFFER, terrain->positionBuffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, terrain->texCoordBuffer);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, terrain->indexBuffer);
    glBindTexture(GL_TEXTURE_2D, scene.terrainTexture);
    glDrawElements(GL_TRIANGLES, GLsizei(terrain->indices.size()), GL_UNSIGNED_INT, nullptr);
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glutSwapBuffers();
}

// One frame until the GL has finished it, seconds. The swap is inside the frame, as in the
// viewer; glFinish makes the rasterisation count, not only its submission.
template <typename Frame> double timeFrame(Frame frame) {
    const auto start = Clock::now();
    frame();
    glFinish();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Both frames in each iteration, first one then the other in turn, so that a burst of load
// from the other users of the machine falls on both alike.
void onDisplayAgainstBareFrame(benchmark::State &state) {
    const BareScene scene = bareScene();
    double displaySeconds = 0.0;
    double bareSeconds = 0.0;
    bool displayFirst = true;
    for (auto _ : state) {
        if (displayFirst) {
            displaySeconds += timeFrame(onDisplay);
        }
        bareSeconds += timeFrame([&] { drawBareFrame(scene); });
        if (!displayFirst) {
            displaySeconds += timeFrame(onDisplay);
        }
        displayFirst = !displayFirst;
    }
    const double frames = double(state.iterations());
    state.counters["onDisplay_ms"] = 1e3 * displaySeconds / frames;
    state.counters["bare_ms"] = 1e3 * bareSeconds / frames;
    state.counters["onDisplayVsBare"] = displaySeconds / bareSeconds;
}

BENCHMARK(onDisplayAgainstBareFrame)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true);

// One row of the frame just presented, RGBA: Mesa's software renderer keeps the back buffer.
// Row by row, so that the check makes no large allocation: freeing one raises glibc's heap trim
// threshold, and how often the heap is trimmed under the renderer's per-frame blocks weighs
// heavily on the frame time.
void readPresentedRow(int y, std::vector<unsigned char> &row) {
    row.resize(std::size_t(windowWidth) * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, y, windowWidth, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
}

// The comparison means nothing unless the bare frame shows what onDisplay shows. Called after
// the first frame: the sky faces take their parameters from the second frame on.
bool bareFrameMatchesOnDisplay() {
    std::vector<std::vector<unsigned char>> viewer(static_cast<std::size_t>(windowHeight));
    onDisplay();
    for (int y = 0; y < windowHeight; ++y) {
        readPresentedRow(y, viewer[std::size_t(y)]);
    }
    drawBareFrame(bareScene());
    std::vector<unsigned char> bare;
    std::size_t differing = 0;
    for (int y = 0; y < windowHeight; ++y) {
        readPresentedRow(y, bare);
        const std::vector<unsigned char> &shown = viewer[std::size_t(y)];
        for (std::size_t i = 0; i < bare.size(); i += 4) {
            differing += std::equal(&shown[i], &shown[i] + 3, &bare[i]) ? 0 : 1;
        }
    }
    std::printf("bare frame against onDisplay: %zu of %d pixels differ\n", differing,
                windowWidth * windowHeight);
    return differing == 0;
}

bool reshaped = false;

void onBenchmarkReshape(int width, int height) {
    onReshape(width, height);
    reshaped = true;
}

// The window is mapped and has had its first reshape, as in the viewer before its first frame.
bool waitForFirstReshape() {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!reshaped && Clock::now() < deadline) {
        glutMainLoopEvent();
    }
    return reshaped;
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const auto start = Clock::now();
    // As the viewer does, so both frames run with the heap the viewer has.
    platform::keepFreedMemoryForReuse();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Terrain");
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "frame_benchmark: GLEW found no GL (is DISPLAY set?)\n");
        return 1;
    }
    const auto windowOpen = Clock::now();
    initScene();
    const auto sceneReady = Clock::now();
    // Redraws come from the benchmark alone; GLUT still wants a display callback.
    glutDisplayFunc([] {});
    glutReshapeFunc(onBenchmarkReshape);
    if (!waitForFirstReshape()) {
        std::fprintf(stderr, "frame_benchmark: the window was never mapped\n");
        return 1;
    }
    // The first frame also compiles the shaders for the software renderer.
    const double firstFrameSeconds = timeFrame(onDisplay);
    std::printf("set-up once: window and GLEW %.1f ms, initScene %.1f ms, first frame %.1f ms\n",
                std::chrono::duration<double, std::milli>(windowOpen - start).count(),
                std::chrono::duration<double, std::milli>(sceneReady - windowOpen).count(),
                1e3 * firstFrameSeconds);
    if (!bareFrameMatchesOnDisplay()) {
        std::fprintf(stderr,
                     "frame_benchmark: the bare frame does not draw the viewer's picture\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Gives the window and the driver's buffers for it back, so leak checks see only ours.
    glutExit();
    return 0;
}
