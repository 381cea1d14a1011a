// The one way into GL for the whole tree: GLEW has to be seen before any other GL header,
// or its entry points clash with the system's gl.h.
#pragma once

#include <GL/glew.h>

#include <GL/freeglut.h>
