# The 32-bit client, built beside the 64-bit one from the same sources with
# the i686 toolchain, in <build>/x86: tallyhawk-x86.exe, the seams' tests
# (run under WOW64) and the helper programs its scenarios need in a 32-bit
# Wine prefix. Included by the 64-bit
# Windows build, whose tests run both.
include(ExternalProject)
set(TALLYHAWK_X86_DIR ${CMAKE_BINARY_DIR}/x86)
set(TALLYHAWK_X86_TARGETS tallyhawk win32_tests winprobe timeout_standin schtasks_standin powershell_standin)
ExternalProject_Add(tallyhawk_x86
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${TALLYHAWK_X86_DIR}
  CMAKE_GENERATOR ${CMAKE_GENERATOR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-i686.cmake
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${TALLYHAWK_X86_TARGETS}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${TALLYHAWK_X86_DIR}/tallyhawk-x86.exe ${TALLYHAWK_X86_DIR}/tests/win32/win32_tests.exe)
set(TALLYHAWK_X86_EXE ${TALLYHAWK_X86_DIR}/tallyhawk-x86.exe)
set(TALLYHAWK_X86_TOOLS ${TALLYHAWK_X86_DIR}/tests/e2e/tools)
set(TALLYHAWK_X86_SEAM_TESTS ${TALLYHAWK_X86_DIR}/tests/win32/win32_tests.exe)
