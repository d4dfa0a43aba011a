# morvale_library_sources(OUT)
#
# Every .cpp below the calling folder, less those of sub-folders that are libraries of
# their own (a sub-folder with a CMakeLists.txt).
function(morvale_library_sources out)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB_RECURSE list_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
    foreach(list_file ${list_files})
        get_filename_component(folder ${list_file} DIRECTORY)
        foreach(source ${sources})
            string(FIND "${source}" "${folder}/" at)
            if(at EQUAL 0)
                list(REMOVE_ITEM sources ${source})
            endif()
        endforeach()
    endforeach()
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

# morvale_library(NAME [DEPENDS target...] [EXCLUDE file...])
#
# One static library per folder, built from every .cpp below it (see morvale_library_sources).
# A folder that has no sources yet becomes an interface library, so dependants can link it
# all the same.
# Headers are included by their path from the repository root ("engine/core/log.h").
function(morvale_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS;EXCLUDE" ${ARGN})
    morvale_library_sources(sources)
    foreach(excluded ${ARG_EXCLUDE})
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
    endforeach()
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()

# morvale_platform_library(NAME [DEPENDS target...])
#
# A platform interface: its public headers (named as the interface it stands in for,
# e.g. <windows.h>) live in include/, its backends in sub-folders. A part that others need
# without the rest (the D3DX math) is a library of its own in a sub-folder, with its own
# include/.
function(morvale_platform_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    morvale_library_sources(sources)
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
            PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/include)
        target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()

# The tests of a folder are compiled on their own (an object library named for the folder's
# tests, with the folder's definitions and links) and linked into one GoogleTest executable per
# layer, the GROUP, so that the engine is linked a few times rather than once per folder. A
# folder without a GROUP is an executable of its own: the end-to-end runs, the soaks, and what
# needs a process of its own. Every test case is registered with CTest on its own; all the
# folders of a group share its CTest properties, so a label goes with a folder of its own.
#
# Test names, fixtures and helpers outside an anonymous namespace must be unique within a
# group. A source file that several folders of a group compile (a shared helper outside the
# folder) is compiled once, with the first folder's definitions (morvale_test_groups_finish).

# morvale_test_hooks_object()
#
# The object library morvale_test_hooks (tests/support/test_hooks.cpp), made once.
function(morvale_test_hooks_object)
    if(NOT TARGET morvale_test_hooks)
        add_library(morvale_test_hooks OBJECT ${PROJECT_SOURCE_DIR}/tests/support/test_hooks.cpp)
    endif()
endfunction()

# morvale_test_pch()
#
# The object library morvale_test_pch, made once: it precompiles GoogleTest's headers with the
# options every test source is compiled with, and the test targets reuse its header. The
# definitions of a folder (MORVALE_PICTURES, ...) do not reach into GoogleTest's headers, so
# the header stays valid for all of them.
#
# SDL's compile flags define _REENTRANT (a no-op for glibc) in the folders that include SDL; a
# precompiled header is used only where the macros it was made with are defined alike, so the
# header and every test source define it.
set(MORVALE_TEST_PCH_DEFINITIONS _REENTRANT)
function(morvale_test_pch)
    if(NOT TARGET morvale_test_pch)
        add_library(morvale_test_pch OBJECT ${PROJECT_SOURCE_DIR}/tests/support/test_pch.cpp)
        target_link_libraries(morvale_test_pch PUBLIC GTest::gtest GTest::gmock)
        target_compile_options(morvale_test_pch PRIVATE -g1)
        target_compile_definitions(morvale_test_pch PRIVATE ${MORVALE_TEST_PCH_DEFINITIONS})
        target_precompile_headers(morvale_test_pch PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
    endif()
endfunction()

# morvale_test_target(NAME GROUP KIND HOOKS PROPERTIES... SOURCES file... DEPENDS target...)
#
# The folder's target NAME: an object library linked into the executable GROUP (created by
# its first folder), or the executable NAME itself when GROUP is empty. KIND ("plain" or "gl")
# and HOOKS must agree among the folders of a group: they decide the process the tests run in.
function(morvale_test_target name group kind hooks)
    cmake_parse_arguments(ARG "" "" "PROPERTIES;SOURCES;DEPENDS" ${ARGN})
    if(group)
        add_library(${name} OBJECT ${ARG_SOURCES})
        set(executable ${group})
    else()
        add_executable(${name} ${ARG_SOURCES})
        set(executable ${name})
    endif()
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} GTest::gtest GTest::gmock)
    # Line tables are all a failing test's backtrace needs; the full debug information of the
    # test macros' expansions cost a third of the tests' compile time.
    target_compile_options(${name} PRIVATE -g1)
    # GoogleTest's headers are parsed once for every test source (see morvale_test_pch).
    morvale_test_pch()
    target_precompile_headers(${name} REUSE_FROM morvale_test_pch)
    target_compile_definitions(${name} PRIVATE ${MORVALE_TEST_PCH_DEFINITIONS})
    if(group AND TARGET ${group})
        get_target_property(group_kind ${group} MORVALE_TEST_KIND)
        get_target_property(group_hooks ${group} MORVALE_TEST_HOOKS)
        if(NOT group_kind STREQUAL kind OR NOT group_hooks STREQUAL hooks)
            message(FATAL_ERROR "${name} (${kind}, hooks ${hooks}) cannot join ${group} "
                "(${group_kind}, hooks ${group_hooks})")
        endif()
    else()
        if(group)
            add_executable(${group})
        endif()
        if(hooks)
            morvale_test_hooks_object()
            target_sources(${executable} PRIVATE $<TARGET_OBJECTS:morvale_test_hooks>)
        endif()
        set_target_properties(${executable} PROPERTIES
            RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
            MORVALE_TEST_KIND ${kind} MORVALE_TEST_HOOKS ${hooks})
        target_link_libraries(${executable} PRIVATE GTest::gtest_main)
        gtest_discover_tests(${executable} DISCOVERY_TIMEOUT 60 PROPERTIES ${ARG_PROPERTIES})
        if(group)
            set_property(GLOBAL APPEND PROPERTY MORVALE_TEST_GROUPS ${group})
        endif()
    endif()
    if(group)
        target_link_libraries(${group} PRIVATE ${name})
        set_property(TARGET ${group} APPEND PROPERTY MORVALE_TEST_FOLDERS ${name})
    endif()
endfunction()

# morvale_test(NAME [GROUP executable] [LABELS label] [DEPENDS target...])
#
# The tests of the calling folder (every .cpp below it), run with the platform's test hooks on
# and with drivers that need no display or sound card (tests/support/test_hooks.cpp).
function(morvale_test name)
    cmake_parse_arguments(ARG "" "GROUP;LABELS" "DEPENDS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    set(labels)
    if(ARG_LABELS)
        set(labels LABELS ${ARG_LABELS})
    endif()
    morvale_test_target(${name} "${ARG_GROUP}" plain ON
        PROPERTIES ENVIRONMENT "MORVALE_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${labels}
        SOURCES ${sources} DEPENDS ${ARG_DEPENDS})
endfunction()

# morvale_gl_test(NAME [GROUP executable] [HOOKS] [PICTURES folder] [LABELS label]
#                 [SOURCES file...] [DEPENDS target...])
#
# Tests that draw through the OpenGL backend (SDL's offscreen driver, Mesa llvmpipe), built
# from the .cpp files of the calling folder and SOURCES. HOOKS adds the platform's test hooks
# (tests/support/test_hooks.cpp). The pictures the tests draw are kept in
# build/tests/<folder>_pictures (PICTURES, else the calling folder's name), named to the tests
# by MORVALE_PICTURES. Mesa leaks a little at exit in a module already unloaded, so leak
# detection is off for these tests only.
function(morvale_gl_test name)
    cmake_parse_arguments(ARG "HOOKS" "GROUP;PICTURES;LABELS" "SOURCES;DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    set(labels)
    if(ARG_LABELS)
        set(labels LABELS ${ARG_LABELS})
    endif()
    set(hooks OFF)
    if(ARG_HOOKS)
        set(hooks ON)
    endif()
    # One variable only: the test properties would split a list of them.
    morvale_test_target(${name} "${ARG_GROUP}" gl ${hooks}
        PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0" ${labels}
        SOURCES ${sources} ${ARG_SOURCES} DEPENDS ${ARG_DEPENDS})
    if(NOT ARG_PICTURES)
        get_filename_component(ARG_PICTURES ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    endif()
    set(picture_folder ${CMAKE_BINARY_DIR}/tests/${ARG_PICTURES}_pictures)
    file(MAKE_DIRECTORY ${picture_folder})
    target_compile_definitions(${name} PRIVATE MORVALE_PICTURES="${picture_folder}")
endfunction()

# morvale_test_folder_sources(FOLDER OWN SHARED)
#
# The sources of the test folder target FOLDER: those below its folder (OWN) and those it
# takes from elsewhere (SHARED).
function(morvale_test_folder_sources folder own_out shared_out)
    get_target_property(folder_dir ${folder} SOURCE_DIR)
    get_target_property(sources ${folder} SOURCES)
    set(own)
    set(shared)
    foreach(source ${sources})
        cmake_path(IS_PREFIX folder_dir "${source}" NORMALIZE below)
        if(below)
            list(APPEND own ${source})
        else()
            list(APPEND shared ${source})
        endif()
    endforeach()
    set(${own_out} ${own} PARENT_SCOPE)
    set(${shared_out} ${shared} PARENT_SCOPE)
endfunction()

# morvale_test_groups_finish()
#
# Called once every test folder is added: a source file from outside its folder that several
# folders of a group compile (a shared helper such as tests/support/allocation_counter.cpp)
# stays with the first of them only, and one that is another folder's own stays with that
# folder, so that the group links each once.
function(morvale_test_groups_finish)
    get_property(groups GLOBAL PROPERTY MORVALE_TEST_GROUPS)
    foreach(group ${groups})
        get_target_property(folders ${group} MORVALE_TEST_FOLDERS)
        set(taken)
        foreach(folder ${folders})
            morvale_test_folder_sources(${folder} own shared)
            list(APPEND taken ${own})
        endforeach()
        foreach(folder ${folders})
            morvale_test_folder_sources(${folder} own shared)
            list(REMOVE_ITEM shared ${taken})
            list(APPEND taken ${shared})
            set_property(TARGET ${folder} PROPERTY SOURCES ${own} ${shared})
        endforeach()
    endforeach()
endfunction()
