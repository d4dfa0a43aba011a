# Every external library, found once and exposed as an imported target. The platform
# layer is the only code that links the system libraries (SDL2, OpenGL, OpenAL...);
# the engine and the game see them only through it.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(Boost 1.74 REQUIRED)

pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.2)
pkg_check_modules(LUABIND REQUIRED IMPORTED_TARGET luabind)
add_library(morvale_lua INTERFACE)
target_link_libraries(morvale_lua INTERFACE PkgConfig::LUABIND PkgConfig::LUA)
# Without LUABIND_USE_CXX11 the headers declare auto_ptr overloads the library lacks.
target_compile_definitions(morvale_lua INTERFACE LUABIND_USE_CXX11 BOOST_BIND_GLOBAL_PLACEHOLDERS)

pkg_check_modules(ODE REQUIRED IMPORTED_TARGET ode)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(ASSIMP REQUIRED IMPORTED_TARGET assimp)
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
pkg_check_modules(SPIRV_CROSS REQUIRED IMPORTED_TARGET spirv-cross-c-shared)

set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)

find_library(MESHOPTIMIZER_LIBRARY meshoptimizer REQUIRED)
add_library(morvale_meshoptimizer INTERFACE)
target_link_libraries(morvale_meshoptimizer INTERFACE ${MESHOPTIMIZER_LIBRARY})

# glslang's C++ API changes class layouts with ENABLE_HLSL, so every user must define it.
add_library(morvale_glslang INTERFACE)
target_compile_definitions(morvale_glslang INTERFACE ENABLE_HLSL)
# glslang is built without RTTI: UBSan's vptr check would need its typeinfo to link.
if(MORVALE_SANITIZE OR MORVALE_FUZZ)
    target_compile_options(morvale_glslang INTERFACE -fno-sanitize=vptr)
endif()
target_link_libraries(morvale_glslang INTERFACE
    glslang SPIRV glslang-default-resource-limits MachineIndependent OSDependent HLSL
    OGLCompiler GenericCodeGen SPIRV-Tools-opt SPIRV-Tools Threads::Threads)

if(MORVALE_TESTS)
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()
