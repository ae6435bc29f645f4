# The version header of the programs, VornexVersion.h, as target vornex_version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/VornexVersion.h.in
               ${PROJECT_BINARY_DIR}/packaging/include/VornexVersion.h @ONLY)
add_library(vornex_version INTERFACE)
target_include_directories(vornex_version INTERFACE ${PROJECT_BINARY_DIR}/packaging/include)
