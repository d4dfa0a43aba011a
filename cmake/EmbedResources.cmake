# morvale_embed_resources(TARGET OUTPUT FILES file...)
#
# Compiles resource files into the program: at build time every file becomes a byte array
# in one generated source, registered as an RCDATA resource named after the file (looked up
# without regard to case). TARGET is an object library; link its objects into every
# program that needs the resources.
function(morvale_embed_resources target)
    cmake_parse_arguments(ARG "" "" "FILES" ${ARGN})
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_table.cpp)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} "-DFILES=${ARG_FILES}"
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_resources_step.cmake
        DEPENDS ${ARG_FILES} ${PROJECT_SOURCE_DIR}/cmake/embed_resources_step.cmake
        COMMENT "Embedding resources for ${target}"
        VERBATIM)
    add_library(${target} OBJECT ${output})
    target_link_libraries(${target} PRIVATE platform_win32)
endfunction()
