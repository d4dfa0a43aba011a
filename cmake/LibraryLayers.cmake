# The order of the project's libraries, lowest first. A library links only libraries of the
# layers below its own: never one of its own layer, never one above, so no cycle can form.
# Names on one line (separated by commas) share a layer.
set(MORVALE_LIBRARY_LAYERS
    "platform_win32"
    "platform_dxerr,platform_dbghelp"
    "platform_d3dx9_math"
    "platform_d3d9"
    "platform_d3dx9,platform_dinput8,platform_dmusic"
    "engine_core"
    "engine_render"
    "game_data"
    "game_audio"
    "game_vehicle"
    "game_world"
    "game_app")

# morvale_library_layer(NAME OUT)
#
# The layer of a library (0 for the lowest), or -1 for one outside the order.
function(morvale_library_layer name out)
    set(index 0)
    foreach(layer ${MORVALE_LIBRARY_LAYERS})
        string(REPLACE "," ";" members "${layer}")
        if(name IN_LIST members)
            set(${out} ${index} PARENT_SCOPE)
            return()
        endif()
        math(EXPR index "${index} + 1")
    endforeach()
    set(${out} -1 PARENT_SCOPE)
endfunction()

# morvale_check_links(LINK...)
#
# Each LINK is a chain "from>...>to": a library of the order reaching another one, directly
# or through targets outside the order. Fails naming every chain that goes up or sideways.
function(morvale_check_links)
    set(faults "")
    foreach(chain ${ARGN})
        string(REPLACE ">" ";" steps "${chain}")
        list(GET steps 0 from)
        list(GET steps -1 to)
        morvale_library_layer(${from} from_layer)
        morvale_library_layer(${to} to_layer)
        if(from_layer LESS 0 OR to_layer LESS 0 OR to_layer LESS from_layer)
            continue()
        endif()
        list(LENGTH steps length)
        if(length GREATER 2)
            string(REPLACE ">" " -> " path "${chain}")
            set(through " (${path})")
        else()
            set(through "")
        endif()
        if(to_layer EQUAL from_layer)
            set(where "beside it")
        else()
            set(where "above it")
        endif()
        string(APPEND faults "\n  ${from} links ${to}${through}, a library ${where}")
    endforeach()
    if(faults)
        message(FATAL_ERROR "Library layering broken:${faults}\n"
            "A library may link only the libraries below it in MORVALE_LIBRARY_LAYERS "
            "(cmake/LibraryLayers.cmake).")
    endif()
endfunction()

# The targets a target links, from both its own and its interface link lists, with the
# generator expressions and directory marks of CMake taken off. Non-targets are left out.
function(morvale_linked_targets target out)
    get_target_property(type ${target} TYPE)
    set(entries "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(own ${target} LINK_LIBRARIES)
        if(own)
            list(APPEND entries ${own})
        endif()
    endif()
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    if(interface)
        list(APPEND entries ${interface})
    endif()
    set(linked "")
    foreach(entry ${entries})
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" entry "${entry}")
        string(REGEX REPLACE "::@\\(.*\\)$" "" entry "${entry}")
        if(TARGET "${entry}")
            get_target_property(aliased ${entry} ALIASED_TARGET)
            if(aliased)
                set(entry ${aliased})
            endif()
            list(APPEND linked ${entry})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES linked)
    set(${out} ${linked} PARENT_SCOPE)
endfunction()

# The chains from CHAIN's last target to every library of the order it reaches, going on
# through the project's own targets that stand outside the order (imported ones are foreign
# and end a chain). Appends them to the caller's variable OUT.
function(morvale_collect_chains chain out)
    string(REPLACE ">" ";" steps "${chain}")
    list(GET steps -1 target)
    morvale_linked_targets(${target} linked)
    set(found ${${out}})
    foreach(next ${linked})
        if(next IN_LIST steps)
            continue()
        endif()
        morvale_library_layer(${next} layer)
        if(layer GREATER_EQUAL 0)
            list(APPEND found "${chain}>${next}")
        else()
            get_target_property(imported ${next} IMPORTED)
            if(NOT imported)
                morvale_collect_chains("${chain}>${next}" found)
            endif()
        endif()
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# morvale_check_library_layers([LINKS_FILE file])
#
# Run once every library is defined: fails the configure step when a library of the order
# links one at or above its own layer. LINKS_FILE keeps the links found, for the test that
# checks them again (cmake/CheckLibraryLayers.cmake).
function(morvale_check_library_layers)
    cmake_parse_arguments(ARG "" "LINKS_FILE" "" ${ARGN})
    set(chains "")
    foreach(layer ${MORVALE_LIBRARY_LAYERS})
        string(REPLACE "," ";" members "${layer}")
        foreach(library ${members})
            if(TARGET ${library})
                morvale_collect_chains(${library} chains)
            endif()
        endforeach()
    endforeach()
    if(ARG_LINKS_FILE)
        string(REPLACE ";" "\n" lines "${chains}")
        file(WRITE ${ARG_LINKS_FILE} "${lines}\n")
    endif()
    morvale_check_links(${chains})
endfunction()
