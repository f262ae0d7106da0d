# Cross-compiling for i686 Windows with MinGW-w64.
set(VX_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
