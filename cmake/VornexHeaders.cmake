# Each library exports only its own headers: an include folder of the build tree that holds, under
# the library's folder name, a link to its source folder, or to each of its headers when the folder
# holds more than one library. A header included from a library that is not linked is not found,
# so a layer broken is a build broken.
#
#   vornex_headers(TARGET [HEADERS name.h ...])
function(vornex_headers target)
    cmake_parse_arguments(ARG "" "" "HEADERS" ${ARGN})
    get_target_property(type ${target} TYPE)
    set(scope PUBLIC)
    if(type STREQUAL "INTERFACE_LIBRARY")
        set(scope INTERFACE)
    endif()
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    # A tree configured before may hold the other form: a header linked into a link to the source
    # folder would replace the header itself.
    if(IS_SYMLINK ${root}/${folder})
        file(REMOVE ${root}/${folder})
    elseif(NOT ARG_HEADERS AND IS_DIRECTORY ${root}/${folder})
        file(REMOVE_RECURSE ${root}/${folder})
    endif()
    if(ARG_HEADERS)
        file(MAKE_DIRECTORY ${root}/${folder})
        foreach(header IN LISTS ARG_HEADERS)
            file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${folder}/${header}
                 SYMBOLIC)
        endforeach()
    else()
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} ${scope} ${root})
endfunction()
