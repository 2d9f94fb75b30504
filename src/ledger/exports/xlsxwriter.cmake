# libxlsxwriter (the workbook) and minizip (the GLPI archive) as the target
# ledger_xlsxwriter. Natively Debian's libxlsxwriter-dev and libminizip-dev;
# for Windows compiled in from the source that scripts/fetch-xlsxwriter
# unpacks, with its bundled minizip and Debian's libz-mingw-w64-dev.
if(WIN32)
  set(TALLYHAWK_XLSXWRITER_DIR ${CMAKE_SOURCE_DIR}/build/deps/libxlsxwriter CACHE PATH
    "Folder holding libxlsxwriter's source")
  set(x ${TALLYHAWK_XLSXWRITER_DIR})
  if(NOT EXISTS ${x}/include/xlsxwriter.h)
    message(FATAL_ERROR "libxlsxwriter's source is missing in ${x}: run scripts/fetch-xlsxwriter")
  endif()
  file(GLOB xlsxwriter_sources ${x}/src/*.c)
  add_library(ledger_xlsxwriter STATIC ${xlsxwriter_sources}
    ${x}/third_party/minizip/ioapi.c ${x}/third_party/minizip/zip.c ${x}/third_party/minizip/iowin32.c
    ${x}/third_party/tmpfileplus/tmpfileplus.c ${x}/third_party/md5/md5.c)
  target_include_directories(ledger_xlsxwriter SYSTEM PUBLIC ${x}/include ${x}/third_party/minizip)
  target_compile_definitions(ledger_xlsxwriter PRIVATE NOCRYPT NOUNCRYPT)
  target_compile_options(ledger_xlsxwriter PRIVATE -w)
  # The packager opens the workbook by its UTF-16 name only where _WIN32 is
  # left defined, which it undoes for MinGW: the name would go through the
  # ANSI code page and a Japanese folder would be mangled.
  set_source_files_properties(${x}/src/packager.c PROPERTIES COMPILE_OPTIONS -U__MINGW32__)
  find_library(MINGW_ZLIB NAMES libz.a REQUIRED)
  target_link_libraries(ledger_xlsxwriter PUBLIC ${MINGW_ZLIB})
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter minizip)
  add_library(ledger_xlsxwriter INTERFACE)
  target_link_libraries(ledger_xlsxwriter INTERFACE PkgConfig::XLSXWRITER)
endif()
