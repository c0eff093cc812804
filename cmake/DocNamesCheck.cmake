# Checks that the documents name only files and code that exist: every
# `quoted` name of the given documents must be found in the tree.
#
#   cmake -DROOT=<source tree> -DDOCS=<doc;doc> -P DocNamesCheck.cmake
#
# A name with a slash is a path (relative to the root; a trailing slash is a
# folder, * a pattern); a name with a file ending is a file somewhere in the
# tree; Class::member needs a file that holds both words; any other
# identifier must occur as a word in the sources, build files or texts.
# Commands, values and examples (anything with a blank, "=", "$", brackets or
# quotes), build outputs (build/, *.so) and name prefixes (`SB`, `K_`) are
# passed over.
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED ROOT OR NOT DEFINED DOCS)
  message(FATAL_ERROR "DocNamesCheck: ROOT and DOCS must be set")
endif()

file(GLOB_RECURSE corpus_files
  "${ROOT}/src/*" "${ROOT}/emulator/*" "${ROOT}/tests/*" "${ROOT}/bench/*" "${ROOT}/fuzz/*.cpp"
  "${ROOT}/cmake/*" "${ROOT}/scripts/*" "${ROOT}/dist/*" "${ROOT}/tools/*")
list(APPEND corpus_files "${ROOT}/CMakeLists.txt")
list(FILTER corpus_files EXCLUDE REGEX "\\.(png|bin|lmqpyl|pdf)$")

set(files_text "")
foreach(f IN LISTS corpus_files)
  get_filename_component(name "${f}" NAME)
  string(APPEND files_text "\n${name}")
endforeach()

# Each file's words, read once.
set(index 0)
foreach(f IN LISTS corpus_files)
  file(READ "${f}" text)
  string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*" words "${text}")
  list(REMOVE_DUPLICATES words)
  set(words_${index} ";${words};")
  string(APPEND all_words ";${words}")
  math(EXPR index "${index} + 1")
endforeach()
math(EXPR last "${index} - 1")
list(REMOVE_DUPLICATES all_words)
set(all_words ";${all_words};")

function(has_word word out)
  string(FIND "${all_words}" ";${word};" at)
  if(at EQUAL -1)
    set(${out} FALSE PARENT_SCOPE)
  else()
    set(${out} TRUE PARENT_SCOPE)
  endif()
endfunction()

function(has_pair a b out)
  foreach(i RANGE ${last})
    string(FIND "${words_${i}}" ";${a};" at_a)
    string(FIND "${words_${i}}" ";${b};" at_b)
    if(NOT at_a EQUAL -1 AND NOT at_b EQUAL -1)
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} FALSE PARENT_SCOPE)
endfunction()

set(problems "")
set(checked 0)
foreach(doc IN LISTS DOCS)
  file(READ "${ROOT}/${doc}" text)
  string(REGEX MATCHALL "`[^`\n]+`" spans "${text}")
  foreach(span IN LISTS spans)
    string(REGEX REPLACE "^`(.*)`$" "\\1" name "${span}")
    string(LENGTH "${name}" length)
    if(name MATCHES "[ =$\"'<>{}()]" OR name MATCHES "\\[" OR name MATCHES "^build/"
       OR name MATCHES "^[/.0-9-]" OR name MATCHES "\\.(so|so\\.[0-9]+|pdf)$"
       OR length LESS 4 OR name MATCHES "_$")
      continue()  # a command, a value, an example, a build output or a name prefix
    endif()
    math(EXPR checked "${checked} + 1")
    if(name MATCHES "/")
      file(GLOB found "${ROOT}/${name}")
      if(NOT found AND NOT EXISTS "${ROOT}/${name}")
        list(APPEND problems "${doc}: `${name}` is not in the tree")
      endif()
    elseif(name MATCHES "\\.[A-Za-z]+$")
      string(REPLACE "." "\\." pattern "${name}")
      string(REPLACE "*" "[^\n]*" pattern "${pattern}")
      if(NOT files_text MATCHES "\n${pattern}(\n|$)")
        list(APPEND problems "${doc}: no file `${name}` in the tree")
      endif()
    elseif(name MATCHES "^([A-Za-z_][A-Za-z0-9_]*)::([A-Za-z_~][A-Za-z0-9_]*)$")
      has_pair("${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}" ok)
      if(NOT ok)
        list(APPEND problems "${doc}: `${name}`: no file holds both names")
      endif()
    elseif(name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      has_word("${name}" ok)
      if(NOT ok)
        list(APPEND problems "${doc}: `${name}` occurs nowhere in the tree")
      endif()
    endif()
  endforeach()
endforeach()

if(problems)
  foreach(p IN LISTS problems)
    message(STATUS "${p}")
  endforeach()
  list(LENGTH problems count)
  message(FATAL_ERROR "DocNamesCheck: ${count} name(s) not found")
endif()
message(STATUS "DocNamesCheck: ${checked} names found in the tree")
