#include "gl_test_environment.h"

#include "platform/gl.h"

#include <cstdlib>
#include <cstring>

void GlTestEnvironment::SetUp() {
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_FAIL() << "GL tests need an X display: run them under xvfb-run";
    }
    int argc = 1;
    char name[] = "gl-test";
    char *argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(testWindowWidth, testWindowHeight);
    window = glutCreateWindow("gl-test");
    ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
    // GLUT refuses to process events for a window without a display callback.
    glutDisplayFunc([] {});
    glutHideWindow();
    pumpWindowEvents();
    glViewport(0, 0, testWindowWidth, testWindowHeight);
    glReadBuffer(GL_BACK);
}

void GlTestEnvironment::TearDown() {
    if (window != 0) {
        glutDestroyWindow(window);
        glutExit();
    }
}

Rgba readPixel(int x, int y) {
    Rgba pixel{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

void pumpWindowEvents() {
    for (int i = 0; i < 5; ++i) {
        glutMainLoopEvent();
    }
}
