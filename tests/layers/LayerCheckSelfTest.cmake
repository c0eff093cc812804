# The layer check itself: a clean tree passes, and each kind of wrong
# include planted in it fails with a line that names the file.
#   cmake -DCHECK=<LayerCheck.cmake> -DWORK=<scratch folder> -P ...
cmake_minimum_required(VERSION 3.25)

function(plant root path text)
  file(WRITE "${root}/${path}" "${text}\n")
endfunction()

function(run_check root result_var output_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${root} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${result_var} ${result} PARENT_SCOPE)
  set(${output_var} "${out}${err}" PARENT_SCOPE)
endfunction()

function(clean_tree root)
  file(REMOVE_RECURSE "${root}")
  plant("${root}" src/model/PylonConfig.h "#pragma once\n#include <cstdint>")
  plant("${root}" src/lang/Msg.h "#include \"model/PylonConfig.h\"\n#include <string>")
  plant("${root}" src/comm/Frames.cpp "#include \"lang/Msg.h\"\n#include \"model/PylonConfig.h\"")
  plant("${root}" src/ui/lang/DataModule.h "#include <QWidget>\n#include \"comm/Frames.h\"")
  plant("${root}" src/ui/dialogs/Dialog.cpp "#include \"ui/lang/DataModule.h\"\n#include \"Dialog.moc\"")
  plant("${root}" src/ui/main/Main.cpp "#include \"ui/dialogs/Dialog.h\"\n#include \"ui/lang/DataModule.h\"")
  plant("${root}" src/cli/main.cpp "#include \"comm/Frames.h\"\n#include <cstdio>")
  plant("${root}" emulator/Emulator.cpp "#include \"comm/Frames.h\"\n#include \"emulator/Emulator.h\"")
endfunction()

set(root "${WORK}/tree")
clean_tree("${root}")
run_check("${root}" result out)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "a clean tree fails the check:\n${out}")
endif()

# file to plant, its text, what the check must say of it
set(cases
  "src/model/Up.cpp|#include \"ui/main/Main.h\"|includes \"ui/main/Main.h\" from ui/main"
  "src/model/Down.cpp|#include \"comm/Frames.h\"|includes \"comm/Frames.h\" from comm"
  "src/comm/Widgets.cpp|#include <QWidget>|comm is Qt-free"
  "src/ui/dialogs/Sideways.cpp|#include \"ui/main/Main.h\"|from ui/main, a layer that ui/dialogs may not include"
  "src/cli/Forms.cpp|#include \"ui/lang/DataModule.h\"|a layer that cli may not include"
  "emulator/Qt.cpp|#include <QString>|emulator is Qt-free"
  "src/newroom/New.cpp|#include \"model/PylonConfig.h\"|the folder 'newroom' has no layer")
foreach(c IN LISTS cases)
  string(REPLACE "|" ";" parts "${c}")
  list(GET parts 0 path)
  list(GET parts 1 text)
  list(GET parts 2 expected)
  clean_tree("${root}")
  plant("${root}" "${path}" "${text}")
  run_check("${root}" result out)
  if(result EQUAL 0)
    message(FATAL_ERROR "the check passes a planted wrong include: ${path}: ${text}")
  endif()
  string(FIND "${out}" "${path}: " at_file)
  string(FIND "${out}" "${expected}" at_text)
  if(at_file EQUAL -1 OR at_text EQUAL -1)
    message(FATAL_ERROR "for ${path} the check should say '${expected}', it said:\n${out}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
message(STATUS "layer check self-test: clean tree passes, every planted include fails")
