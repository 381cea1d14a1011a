// The viewer's whole run-time state, shared by every callback. The objects are made before
// main() runs, in the order of the definitions, and live until the process ends.
#pragma once

#include "platform/gl.h"

class Camera;
class FrameTimer;
class Terrain;
class Skybox;

constexpr int keyTableSize = 256;

extern int windowWidth;  // pixels
extern int windowHeight; // pixels, never 0 after a reshape
extern bool justWarped;  // the next pointer event is the echo of our own warp
extern bool wireframe;
extern float deltaTime; // step of every camera move: 0 before the first frame, then 1/60
extern GLuint basicProgram;
extern unsigned char *keyStates;        // 1 while the character key is held
extern unsigned char *specialKeyStates; // 1 while the special key is held
extern FrameTimer *frameTimer;
extern Camera *camera;
extern Terrain *terrain;
extern Skybox *skybox;
extern int mouseDeltaX; // pixels from the window centre, last used pointer event
extern int mouseDeltaY;

// Uploads the scene and loads every program and texture; needs the GL context.
void initScene();
