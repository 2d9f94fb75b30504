# Fails when a source folder includes a header from a folder above it.
# Usage: cmake -DSRC=<src folder> -P check_layering.cmake
#
# Bottom to top: the seams (platform/) and the rules both programs share
# (shared/: the record line, the management number's shape), the support
# helpers, the form models and the collectors, the run sequence; the seams'
# implementations sit beside the core and may use the form models (their
# views) but not the collectors or the run. winmain.cpp and the ledger's
# main.cpp are composition roots and may include anything.
cmake_minimum_required(VERSION 3.25)
if(NOT SRC)
  message(FATAL_ERROR "SRC is not set")
endif()
get_filename_component(SRC "${SRC}" ABSOLUTE)

set(ALLOWED_platform        platform)
set(ALLOWED_shared          shared)
set(ALLOWED_platform/posix  platform/posix platform)
set(ALLOWED_support         support shared platform)
set(ALLOWED_forms           forms support shared platform)
set(ALLOWED_collect         collect support shared platform)
set(ALLOWED_run             run collect forms support shared platform)
set(ALLOWED_platform/win32  platform/win32 forms support shared platform)
# The ledger reads what the client writes through the shared rules and the
# code page seam, never through the client's own folders. Its stages, bottom
# to top: text helpers, the record files, the store (SQLite, the schema and
# what its readers share), the checks and the catalogue over the store, the
# import that fills it, and the exports and the report that only read it.
# cli.cpp and main.cpp (ledger/) sit on top: nothing below knows the command
# line.
set(LEDGER_BASE shared platform)
set(ALLOWED_ledger/text      ledger/text ${LEDGER_BASE})
set(ALLOWED_ledger/records   ledger/records ${ALLOWED_ledger/text})
set(ALLOWED_ledger/store     ledger/store ${ALLOWED_ledger/records})
set(ALLOWED_ledger/checks    ledger/checks ${ALLOWED_ledger/store})
set(ALLOWED_ledger/catalogue ledger/catalogue ${ALLOWED_ledger/store})
set(ALLOWED_ledger/win11     ledger/win11 ${ALLOWED_ledger/checks})
set(ALLOWED_ledger/import    ledger/import ledger/checks ledger/catalogue ledger/win11 ${ALLOWED_ledger/store})
set(ALLOWED_ledger/exports   ledger/exports ${ALLOWED_ledger/store})
set(ALLOWED_ledger/report    ledger/report ${ALLOWED_ledger/store})
set(ALLOWED_ledger           ledger ledger/import ledger/checks ledger/catalogue ledger/win11 ledger/exports ledger/report
                             ${ALLOWED_ledger/store})
# The portable core never sees the Windows headers.
set(PORTABLE platform platform/posix shared support forms collect run)

file(GLOB_RECURSE sources RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
set(violations "")
set(checked 0)
foreach(source IN LISTS sources)
  if(source MATCHES "(^|/)winmain\\.cpp$" OR source STREQUAL "ledger/main.cpp")
    continue()
  endif()
  get_filename_component(folder ${source} DIRECTORY)
  if(NOT DEFINED ALLOWED_${folder})
    list(APPEND violations "${source}: folder '${folder}' has no place in the layers")
    continue()
  endif()
  math(EXPR checked "${checked} + 1")
  file(STRINGS ${SRC}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      get_filename_component(target_folder ${CMAKE_MATCH_1} DIRECTORY)
      if(NOT target_folder IN_LIST ALLOWED_${folder})
        list(APPEND violations "${source}: includes \"${CMAKE_MATCH_1}\"")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<CLI/" AND folder MATCHES "^ledger/")
      list(APPEND violations "${source}: parses the command line below the ledger's top")
    elseif(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>" AND folder IN_LIST PORTABLE)
      string(TOLOWER "${CMAKE_MATCH_1}" header)
      if(header MATCHES "^(windows|winbase|winreg|winuser|wbemidl|objbase|comdef|shlobj)\\.h$")
        list(APPEND violations "${source}: the portable core includes <${CMAKE_MATCH_1}>")
      endif()
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Layering violations:\n  ${text}")
endif()
if(checked EQUAL 0)
  message(FATAL_ERROR "No sources found under ${SRC}")
endif()
message(STATUS "Layering: ${checked} files checked, no folder includes one above it")
