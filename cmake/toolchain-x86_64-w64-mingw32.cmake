# Cross-compiling for x86_64 Windows with MinGW-w64.
set(VX_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
