# Every installed program has a man page, and `man -l` renders each page with
# a NAME section that names its program and a SYNOPSIS that calls it.
#
#   cmake -DPROGRAMS=<a;b> -DPAGES=<page files> -DMAN=<man or empty> -P ManPagesCheck.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT MAN)
  message(STATUS "SKIPPED: man is not installed (Debian package man-db)")
  return()
endif()

set(problems "")
foreach(program IN LISTS PROGRAMS)
  set(page "")
  foreach(p IN LISTS PAGES)
    get_filename_component(name "${p}" NAME)
    if(name MATCHES "^${program}\\.[1-9]$")
      set(page "${p}")
    endif()
  endforeach()
  if(NOT page)
    list(APPEND problems "${program}: no man page (add docs/man/${program}.1.scd)")
    continue()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=200 ${MAN} -l "${page}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    list(APPEND problems "${page}: man -l failed: ${err}")
    continue()
  endif()
  string(ASCII 8 backspace)
  string(REGEX REPLACE ".${backspace}" "" text "${text}")  # overstrike bold and underline
  if(NOT text MATCHES "\nNAME\n[ \t]+${program} - [^\n]+")
    list(APPEND problems "${page}: no NAME section \"${program} - ...\"")
  endif()
  if(NOT text MATCHES "\nSYNOPSIS\n[ \t]+${program}( |\n)")
    list(APPEND problems "${page}: no SYNOPSIS that starts with ${program}")
  endif()
endforeach()

if(problems)
  foreach(p IN LISTS problems)
    message(STATUS "${p}")
  endforeach()
  message(FATAL_ERROR "ManPagesCheck: a program's man page is missing or malformed")
endif()
message(STATUS "ManPagesCheck: ${PROGRAMS} documented")
