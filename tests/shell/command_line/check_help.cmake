# Runs PROGRAM with ARG and no display at all, and checks that it exits 0
# with EXPECTED (a regular expression) on standard output and nothing on
# standard error.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          ${PROGRAM} ${ARG}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${ARG} exited with ${status}: ${err}")
endif()
if(NOT out MATCHES "${EXPECTED}")
  message(FATAL_ERROR "${PROGRAM} ${ARG} printed:\n${out}\nexpected: ${EXPECTED}")
endif()
if(NOT err STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} ${ARG} wrote to standard error:\n${err}")
endif()
