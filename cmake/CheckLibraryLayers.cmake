# cmake -DLINKS_FILE=file -P CheckLibraryLayers.cmake
#
# Checks the links that the configure step found (one chain "from>...>to" a line, as
# morvale_check_library_layers writes them) against the library order.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/LibraryLayers.cmake)

if(NOT EXISTS "${LINKS_FILE}")
    message(FATAL_ERROR "No links file: \"${LINKS_FILE}\"")
endif()
file(STRINGS "${LINKS_FILE}" chains)
if(NOT chains)
    message(FATAL_ERROR "The links file \"${LINKS_FILE}\" names no link")
endif()
morvale_check_links(${chains})
list(LENGTH chains count)
message(STATUS "Library layering holds for ${count} links")
