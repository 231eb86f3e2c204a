# Shared by the install tests' scripts: runs a command and stops the script
# with its output when it fails; the output is left in `out` and `err`.
macro(run_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "step failed (${result}): ${ARGN}\n${out}\n${err}")
  endif()
endmacro()
