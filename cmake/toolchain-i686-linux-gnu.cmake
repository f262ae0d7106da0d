# Cross-compiling for 32-bit x86 Linux (Debian's crossbuild-essential-i386). This kernel runs no
# 32-bit code of its own, so the programs built here run under qemu-user, in the cross sysroot.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VX_TRIPLE i686-linux-gnu)
set(VX_SYSROOT /usr/${VX_TRIPLE})

set(CMAKE_C_COMPILER   ${VX_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VX_TRIPLE}-g++)
# The sysroot's own C library, not one that the host's loader cache may name (Debian's
# libc6-i386 in /lib32): its loader and a C library of another build together hang at the
# first thread.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-i386 -L ${VX_SYSROOT} -E LD_LIBRARY_PATH=${VX_SYSROOT}/lib)

# Dependencies built for this target live in VX_DEPS_PREFIX (see tools/deps.sh).
if(NOT VX_DEPS_PREFIX AND DEFINED ENV{VX_DEPS_PREFIX})
  set(VX_DEPS_PREFIX $ENV{VX_DEPS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH ${VX_SYSROOT} ${VX_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
