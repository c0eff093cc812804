# Checks that every source file includes only from its own layer and the
# layers below it, and that the Qt-free folders include no Qt header.
#
#   cmake -DROOT=<source tree> -P LayerCheck.cmake
#
# Every folder of src/ and emulator/ must be named in the table below: a new
# folder fails the check until its layer is written down here (and in
# docs/architecture.md). Quoted includes are resolved against src/ and the
# source tree's root; an include without a folder is a file of the same
# folder (or a generated one) and is always allowed.

cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED ROOT)
  message(FATAL_ERROR "LayerCheck: ROOT is not set")
endif()

# folder  ->  folders it may include from (itself always).
set(core log model lang comm history)
set(forms ui/common ui/lang ui/comm ui/dialogs ui/history ui/main)

set(allow_log "")
set(allow_model log)
set(allow_lang model log)
set(allow_comm lang model log)
set(allow_history comm lang model log)
set(allow_ui/common ${core})
set(allow_ui/lang ui/common ${core})
set(allow_ui/comm ui/lang ui/common ${core})
set(allow_ui/dialogs ui/lang ui/common ${core})
set(allow_ui/history ui/lang ui/common ${core})
set(allow_ui/main ${forms} ${core})
set(allow_app ${forms} ${core})
set(allow_cli ${core})
set(allow_langlib ui/lang ui/common lang model log)
set(allow_emulator ${core})
set(allow_emulator/face emulator ${core})
set(allow_tools ${forms} ${core})

# Folders whose sources include no Qt header at all: the core, and the
# programs built on it alone.
set(qt_free ${core} cli emulator)

set(known_folders log model lang lang/texts comm history ${forms} app cli langlib
    emulator emulator/face tools)

# The layer a path (relative to src/ or to the root) belongs to: the longest
# known folder it starts with.
function(layer_of path out)
  set(best "")
  foreach(f IN LISTS known_folders)
    string(LENGTH "${f}" n)
    string(FIND "${path}/" "${f}/" at)
    if(at EQUAL 0)
      string(LENGTH "${best}" bn)
      if(n GREATER bn)
        set(best "${f}")
      endif()
    endif()
  endforeach()
  if(best STREQUAL "lang/texts")
    set(best lang)
  endif()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

# A header named like a Qt class or module (<QString>, <QtCore/qglobal.h>).
function(is_qt_header header out)
  set(result FALSE)
  if(header MATCHES "^Q[A-Za-z0-9_]*$" OR header MATCHES "^Qt[A-Za-z]*/")
    set(result TRUE)
  endif()
  set(${out} ${result} PARENT_SCOPE)
endfunction()


set(problems "")
file(GLOB_RECURSE sources RELATIVE "${ROOT}"
  "${ROOT}/src/*.h" "${ROOT}/src/*.hpp" "${ROOT}/src/*.cpp"
  "${ROOT}/emulator/*.h" "${ROOT}/emulator/*.cpp"
  "${ROOT}/tools/*.h" "${ROOT}/tools/*.cpp")

foreach(file IN LISTS sources)
  string(REGEX REPLACE "^src/" "" inside "${file}")
  get_filename_component(folder "${inside}" DIRECTORY)
  layer_of("${folder}" layer)
  if(layer STREQUAL "" OR NOT folder IN_LIST known_folders)
    list(APPEND problems "${file}: the folder '${folder}' has no layer (add it to cmake/LayerCheck.cmake and docs/architecture.md)")
    continue()
  endif()
  set(allowed ${layer} ${allow_${layer}})
  file(STRINGS "${ROOT}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(target "${CMAKE_MATCH_1}")
      if(NOT target MATCHES "/")
        continue()
      endif()
      get_filename_component(target_folder "${target}" DIRECTORY)
      layer_of("${target_folder}" target_layer)
      if(target_layer STREQUAL "")
        continue()  # not one of the project's folders (a test or tool header)
      endif()
      if(NOT target_layer IN_LIST allowed)
        list(APPEND problems "${file}: includes \"${target}\" from ${target_layer}, a layer that ${layer} may not include")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
      set(header "${CMAKE_MATCH_1}")
      is_qt_header("${header}" qt)
      if(qt AND layer IN_LIST qt_free)
        list(APPEND problems "${file}: includes the Qt header <${header}>; ${layer} is Qt-free")
      endif()
    endif()
  endforeach()
endforeach()

if(problems)
  list(LENGTH problems count)
  foreach(p IN LISTS problems)
    message(STATUS "${p}")
  endforeach()
  message(FATAL_ERROR "LayerCheck: ${count} include(s) break the layering")
endif()
list(LENGTH sources checked)
message(STATUS "LayerCheck: ${checked} files, layering holds")
