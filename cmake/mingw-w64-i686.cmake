# The 32-bit (x86) build of the Windows programs: see mingw-w64.cmake.
set(TALLYHAWK_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
