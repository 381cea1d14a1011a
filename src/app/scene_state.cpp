#include "app/scene_state.h"

#include <cstdio>

#include "app/frame_timer.h"
#include "controls/camera.h"
#include "scene/skybox.h"
#include "scene/terrain.h"
#include "shaders/shader_manager.h"
#include "texturing/texture_manager.h"

namespace {

// Other programs read the pose lines as they come, so the console is line-buffered even into a
// pipe. This runs before the terrain below can print its first message.
const bool consoleLineBuffered = std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ) == 0;

} // namespace

int windowWidth = 800;
int windowHeight = 600;
bool justWarped = false;
bool wireframe = false;
float deltaTime = 0.0f;
GLuint basicProgram = 0;
int mouseDeltaX = 0;
int mouseDeltaY = 0;

// Made in this order before main(); the terrain reads its heightmap here, before any window.
unsigned char *keyStates = new unsigned char[keyTableSize]();
unsigned char *specialKeyStates = new unsigned char[keyTableSize]();
FrameTimer *frameTimer = new FrameTimer();
Camera *camera = new Camera();
Terrain *terrain = new Terrain("Terrain.png", "HeightMap.raw", 256, 256);
Skybox *skybox = new Skybox();

void initScene() {
    glClearColor(0.0f, 0.7f, 1.0f, 1.0f);
    glutWarpPointer(windowWidth / 2, windowHeight / 2);
    terrain->build();
    skybox->build();
    ShaderManager::getInstance()->loadShaders();
    TextureManager::getInstance()->loadTextures();
    basicProgram = ShaderManager::getInstance()->getProgram("Basic");
}
