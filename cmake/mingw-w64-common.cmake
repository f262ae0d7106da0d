# Shared by the per-target toolchain files, which set VX_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VX_ARCH})
set(VX_TRIPLE ${VX_ARCH}-w64-mingw32)

# The posix thread model: std::thread and std::mutex, which protobuf needs too.
set(CMAKE_C_COMPILER   ${VX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VX_TRIPLE}-windres)

# Dependencies built for this target live in VX_DEPS_PREFIX (see tools/deps.sh).
if(NOT VX_DEPS_PREFIX AND DEFINED ENV{VX_DEPS_PREFIX})
  set(VX_DEPS_PREFIX $ENV{VX_DEPS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${VX_TRIPLE} ${VX_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
