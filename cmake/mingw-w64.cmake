# Cross-compiles the Windows programs with Debian's mingw-w64: x86_64 unless
# TALLYHAWK_MINGW_ARCH says i686 (cmake/mingw-w64-i686.cmake). The posix
# thread model is needed: GoogleTest uses std::mutex, which the win32 model lacks.
if(NOT TALLYHAWK_MINGW_ARCH)
  set(TALLYHAWK_MINGW_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TALLYHAWK_MINGW_ARCH})
set(TOOLCHAIN_PREFIX ${TALLYHAWK_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# One self-contained exe: no libstdc++/libgcc/winpthread DLLs beside it.
# Subsystem 6.1: Windows 7 SP1 is the oldest Windows the programs run on
# (binutils would otherwise write what the loader of an older one refuses).
set(CMAKE_EXE_LINKER_FLAGS_INIT
  "-static -static-libgcc -static-libstdc++ -Wl,--major-subsystem-version,6,--minor-subsystem-version,1")
