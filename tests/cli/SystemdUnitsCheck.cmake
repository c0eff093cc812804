# The units of a scheduled price change pass `systemd-analyze verify`, with
# the program they start at hand.
#
#   cmake -DANALYZE=<systemd-analyze or empty> -DUNITS=<dist/systemd> -DPYLONCTL=<program>
#         -DWORK=<scratch folder> -P SystemdUnitsCheck.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT ANALYZE)
  message(STATUS "SKIPPED: systemd-analyze is not installed (Debian package systemd)")
  return()
endif()

# The units name /usr/bin/pylonctl; verify checks that the program exists,
# so a copy of the units points at the one just built.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(GLOB units "${UNITS}/*.service" "${UNITS}/*.timer")
if(NOT units)
  message(FATAL_ERROR "SystemdUnitsCheck: no units in ${UNITS}")
endif()
set(copies "")
foreach(unit IN LISTS units)
  get_filename_component(name "${unit}" NAME)
  file(READ "${unit}" text)
  string(REPLACE "/usr/bin/pylonctl" "${PYLONCTL}" text "${text}")
  file(WRITE "${WORK}/${name}" "${text}")
  list(APPEND copies "${WORK}/${name}")
endforeach()

# The man page is checked by man_pages, and is not installed in a build tree.
execute_process(COMMAND ${ANALYZE} verify --man=no ${copies}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
# Without a running systemd (a container) verify cannot load its own
# manager; that says nothing about the units.
if(err MATCHES "Failed to (initialize|setup) manager|System has not been booted with systemd")
  message(STATUS "SKIPPED: systemd-analyze cannot run here: ${err}")
  return()
endif()
if(NOT rc EQUAL 0 OR err MATCHES "${WORK}")
  message(FATAL_ERROR "SystemdUnitsCheck: systemd-analyze verify found problems:\n${out}${err}")
endif()
message(STATUS "SystemdUnitsCheck: ${copies} verified")
