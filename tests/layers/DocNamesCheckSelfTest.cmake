# The document check itself: names that exist pass, and a path, a file, a
# member and a word that do not exist are each reported.
#   cmake -DCHECK=<DocNamesCheck.cmake> -DROOT=<source tree> -DWORK=<scratch folder> -P ...
cmake_minimum_required(VERSION 3.25)

file(MAKE_DIRECTORY "${WORK}")
set(doc "${WORK}/planted.md")
# The made-up names are put together here, so that this file, which is part
# of the tree the check reads, does not hold them.
set(x "Nowhere")
set(no_path "src/${x}/")
set(no_file "${x}.cpp")
set(no_member "K_CONNECTION::Send${x}")
set(no_word "Wylij${x}")
file(WRITE "${doc}" "Real: `src/comm/` `Frames.cpp` `K_CONNECTION::SendHeader` `Wylij1`.\n"
                    "Made up: `${no_path}` `${no_file}` `${no_member}` `${no_word}`.\n"
                    "Passed over: `cmake --build build` `SB` `\${HOME}/x`.\n")
file(RELATIVE_PATH rel "${ROOT}" "${doc}")
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${ROOT} -DDOCS=${rel} -P ${CHECK}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(out "${out}${err}")
if(result EQUAL 0)
  message(FATAL_ERROR "the check passes made-up names:\n${out}")
endif()
foreach(bad "${no_path}" "${no_file}" "${no_member}" "${no_word}")
  string(FIND "${out}" "`${bad}`" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check does not report `${bad}`:\n${out}")
  endif()
endforeach()
if(out MATCHES "4 name\\(s\\) not found")
  file(REMOVE_RECURSE "${WORK}")
  message(STATUS "document check self-test: real names pass, made-up ones are reported")
else()
  message(FATAL_ERROR "the check reports real names too:\n${out}")
endif()
