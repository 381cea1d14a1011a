// GLSL 3.30 is the oldest version that can pin attribute locations in the source, which the
// viewer relies on (it never binds or queries them); every desktop driver offers it in a
// compatibility context, Mesa's llvmpipe included.
#version 330

layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;

uniform mat4 modelMatrix;
uniform mat4 viewMatrix;
uniform mat4 projectionMatrix;

out vec2 fragmentTexCoord;

void main() {
    fragmentTexCoord = texCoord;
    gl_Position = projectionMatrix * viewMatrix * modelMatrix * vec4(position, 1.0);
}
