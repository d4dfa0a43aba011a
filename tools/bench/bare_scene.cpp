#include "bare_scene.h"

#include <SDL.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <cstdint>
#include <cstdio>

namespace bench {

namespace {

const char* const kVertexSource = R"(#version 330
layout(location = 0) in vec3 position;
layout(location = 1) in vec4 colour;
layout(location = 2) in vec2 uv;
uniform mat4 world;
out vec4 vColour;
out vec2 vUv;
void main()
{
    gl_Position = world * vec4(position, 1.0);
    vColour = colour;
    vUv = uv;
}
)";

const char* const kPixelSource = R"(#version 330
uniform sampler2D tex;
in vec4 vColour;
in vec2 vUv;
layout(location = 0) out vec4 colour;
void main()
{
    colour = texture(tex, vUv) * vColour;
}
)";

GLuint compile(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "bare GL shader: %s\n", log);
    }
    return shader;
}

}  // namespace

BareScene::BareScene() {
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    window_ =
        SDL_CreateWindow("bare", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) {
        return;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr || SDL_GL_MakeCurrent(window_, context_) != 0) {
        return;
    }
    SDL_GL_SetSwapInterval(0);

    const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexSource);
    const GLuint pixel = compile(GL_FRAGMENT_SHADER, kPixelSource);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, pixel);
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(pixel);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteProgram(program);
        return;
    }
    glUseProgram(program);
    world_ = glGetUniformLocation(program, "world");
    glUniform1i(glGetUniformLocation(program, "tex"), 0);

    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glGenBuffers(2, buffers_);
    const std::vector<Vertex> quads = quadVertices();
    glBindBuffer(GL_ARRAY_BUFFER, buffers_[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(quads.size() * sizeof(Vertex)),
                 quads.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof kQuadIndices, kQuadIndices.data(), GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, u)));
    for (GLuint a = 0; a < 3; ++a) {
        glEnableVertexAttribArray(a);
    }

    glGenTextures(1, &texture_);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture_);
    const std::vector<std::uint32_t> texels = checkerTexels();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSize, kTextureSize, 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    glViewport(0, 0, kWidth, kHeight);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    program_ = program;
}

BareScene::~BareScene() {
    if (context_ != nullptr) {
        SDL_GL_MakeCurrent(window_, context_);
        if (program_ != 0) {
            glDeleteProgram(program_);
            glDeleteVertexArrays(1, &vertexArray_);
            glDeleteBuffers(2, buffers_);
            glDeleteTextures(1, &texture_);
        }
        SDL_GL_DeleteContext(context_);
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void BareScene::frame() {
    SDL_GL_MakeCurrent(window_, context_);
    glClearColor(0.125f, 0.125f, 0.125f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int i = 0; i < kMeshes; ++i) {
        glUniformMatrix4fv(world_, 1, GL_FALSE, worlds_[i].data());
        glDrawElementsBaseVertex(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr, (i % kQuads) * 4);
    }
    SDL_GL_SwapWindow(window_);
}

void finishCurrentContext() {
    glFinish();
}

void BareScene::finish() {
    SDL_GL_MakeCurrent(window_, context_);
    glFinish();
}

}  // namespace bench
