# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix thread model, so that
# std::thread and std::mutex work). The runtime is linked statically: the programs are
# single .exe files with no mingw DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

# Libraries and packages come from the mingw sysroot and the private prefix that
# scripts/windows-prefix.sh fills (GoogleTest and the C libraries built for Windows,
# header-only libraries); never from the host's /usr, whose headers and libraries are for Linux.
set(PIXORALE_WINDOWS_PREFIX "" CACHE PATH "Prefix with the Windows builds of the dependencies")
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple} ${PIXORALE_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config reads only the prefix's package files, and gives what static linking needs.
# (CMake reads this file again for its compiler checks, without the prefix.)
if(PIXORALE_WINDOWS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} "${PIXORALE_WINDOWS_PREFIX}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()
set(PKG_CONFIG_ARGN --static)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
