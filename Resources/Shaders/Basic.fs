// See Basic.vs for the choice of version. The sampler keeps its default unit 0, where the
// viewer binds every texture.
#version 330

in vec2 fragmentTexCoord;

uniform sampler2D colourTexture;

out vec4 fragmentColour;

void main() {
    fragmentColour = texture(colourTexture, fragmentTexCoord);
}
