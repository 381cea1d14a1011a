// The viewer's entry: one window, the full-screen question, the scene, then GLUT's loop.
#include "platform/gl.h"

#include "app/frame_rendering.h"
#include "app/scene_state.h"
#include "app/window_placement.h"
#include "controls/input_handlers.h"
#include "platform/platform.h"

int main(int argc, char **argv) {
    platform::keepFreedMemoryForReuse();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    const int screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
    const int screenWidth = glutGet(GLUT_SCREEN_WIDTH);
    glutInitWindowPosition(centredOrigin(screenWidth, windowWidth),
                           centredOrigin(screenHeight, windowHeight));
    glutCreateWindow("Terrain");
    glewInit();
    // Only an explicit No keeps the window; a box that could not be shown means full screen.
    if (platform::askYesNo("Would You Like To Run In Fullscreen Mode?", "Start FullScreen?") !=
        platform::Answer::no) {
        glutFullScreen();
    }
    initScene();

    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutIdleFunc(onIdle);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutSpecialFunc(onSpecialKeyDown);
    glutSpecialUpFunc(onSpecialKeyUp);
    glutPassiveMotionFunc(onPassiveMotion);
    glutMainLoop();
    return 0;
}
