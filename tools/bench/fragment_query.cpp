#include "fragment_query.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <cstring>

namespace bench {

namespace {

bool hasExtension(const char* name) {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const auto* extension =
            reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (extension != nullptr && std::strcmp(extension, name) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

FragmentQuery::FragmentQuery() {
    invocations_ = hasExtension("GL_ARB_pipeline_statistics_query");
    target_ = invocations_ ? GL_FRAGMENT_SHADER_INVOCATIONS_ARB : GL_SAMPLES_PASSED;
    glGenQueries(1, &name_);
}

FragmentQuery::~FragmentQuery() {
    glDeleteQueries(1, &name_);
}

void FragmentQuery::begin() {
    glBeginQuery(target_, name_);
}

std::uint64_t FragmentQuery::end() {
    glEndQuery(target_);
    GLuint64 count = 0;
    glGetQueryObjectui64v(name_, GL_QUERY_RESULT, &count);
    return count;
}

}  // namespace bench
