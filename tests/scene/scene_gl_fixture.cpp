#include "scene_gl_fixture.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "controls/camera.h"
#include "gl_program_fixture.h"
#include "texturing/texture_manager.h"

Rgba opaque(const Rgb &colour) {
    return {colour[0], colour[1], colour[2], 255};
}

void SceneGlTest::SetUp() {
    program = buildShippedBasicProgram();
    ASSERT_NE(program, 0u);
    glUseProgram(program);
    // The frame's projection: 45 is taken in radians there, so it is here.
    projection =
        glm::perspective(45.0f, float(testWindowWidth) / float(testWindowHeight), 0.1f, 10000.0f);
    uploadMatrix("projectionMatrix", projection);
    glClearColor(0.0f, 0.7f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void SceneGlTest::TearDown() {
    glUseProgram(0);
    glDeleteProgram(program);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    std::map<std::string, GLuint> &textures = TextureManager::getInstance()->textures;
    for (const std::string &name : registeredTextures) {
        glDeleteTextures(1, &textures[name]);
        textures.erase(name);
    }
}

void SceneGlTest::uploadMatrix(const char *name, const glm::mat4 &matrix) {
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(matrix));
}

glm::mat4 SceneGlTest::cameraView(glm::vec3 position, float pitch, float yaw,
                                  bool withoutTranslation) {
    Camera camera;
    camera.position = position;
    camera.rotation = glm::vec3(pitch, yaw, 0.0f);
    const glm::mat4 view = camera.getViewMatrix();
    return withoutTranslation ? glm::mat4(glm::mat3(view)) : view;
}

glm::mat4 SceneGlTest::modelMatrixUniform() {
    glm::mat4 model(0.0f);
    glGetUniformfv(program, glGetUniformLocation(program, "modelMatrix"), glm::value_ptr(model));
    return model;
}

GLuint SceneGlTest::registerTexture(const std::string &name, int width, int height,
                                    const std::vector<Rgb> &texels) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 texels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);

    TextureManager::getInstance()->textures[name] = texture;
    registeredTextures.push_back(name);
    return texture;
}

void SceneGlTest::expectDrawStateReleased() {
    for (GLuint attribute : {0u, 1u}) {
        GLint enabled = -1;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, GL_FALSE) << "attribute " << attribute << " left enabled";
    }
    GLint boundTexture = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    EXPECT_EQ(boundTexture, 0);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
}
