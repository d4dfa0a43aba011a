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

# morvale_test(NAME [LABELS label] [DEPENDS target...])
#
# One GoogleTest executable built from the .cpp files of the calling folder; every test
# case is registered with CTest on its own, with the CTest label given (if any). Each executable starts with the platform's test
# hooks on and with drivers that need no display or sound card (tests/support/test_hooks.cpp).
function(morvale_test name)
    cmake_parse_arguments(ARG "" "LABELS" "DEPENDS" ${ARGN})
    if(NOT TARGET morvale_test_hooks)
        add_library(morvale_test_hooks OBJECT ${PROJECT_SOURCE_DIR}/tests/support/test_hooks.cpp)
    endif()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_executable(${name} ${sources} $<TARGET_OBJECTS:morvale_test_hooks>)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
    set(labels)
    if(ARG_LABELS)
        set(labels LABELS ${ARG_LABELS})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "MORVALE_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${labels})
endfunction()

# morvale_gl_test(NAME [HOOKS] [PICTURES folder] [LABELS label] [SOURCES file...]
#                 [DEPENDS target...])
#
# One GoogleTest executable that draws through the OpenGL backend (SDL's offscreen driver,
# Mesa llvmpipe), built from the .cpp files of the calling folder and SOURCES. HOOKS adds
# the platform's test hooks (tests/support/test_hooks.cpp). The pictures the tests draw are
# kept in build/tests/<folder>_pictures (PICTURES, else the calling folder's name), named to
# the tests by MORVALE_PICTURES. Mesa leaks a little at exit in a module already unloaded,
# so leak detection is off for these tests only.
function(morvale_gl_test name)
    cmake_parse_arguments(ARG "HOOKS" "PICTURES;LABELS" "SOURCES;DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_executable(${name} ${sources} ${ARG_SOURCES})
    if(ARG_HOOKS)
        if(NOT TARGET morvale_test_hooks)
            add_library(morvale_test_hooks OBJECT
                ${PROJECT_SOURCE_DIR}/tests/support/test_hooks.cpp)
        endif()
        target_sources(${name} PRIVATE $<TARGET_OBJECTS:morvale_test_hooks>)
    endif()
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
    if(NOT ARG_PICTURES)
        get_filename_component(ARG_PICTURES ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    endif()
    set(picture_folder ${CMAKE_BINARY_DIR}/tests/${ARG_PICTURES}_pictures)
    file(MAKE_DIRECTORY ${picture_folder})
    target_compile_definitions(${name} PRIVATE MORVALE_PICTURES="${picture_folder}")
    set(labels)
    if(ARG_LABELS)
        set(labels LABELS ${ARG_LABELS})
    endif()
    # One variable only: the test properties would split a list of them.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0" ${labels})
endfunction()
