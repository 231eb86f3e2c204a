# Script mode: install, configure the consumer against the install, build it,
# and (unless BUILD_ONLY) run it.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

macro(run_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "step failed (${result}): ${ARGN}\n${out}\n${err}")
  endif()
endmacro()

run_step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
run_step(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE} -B ${WORK_DIR}/build -G ${CMAKE_GENERATOR}
  -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}")
run_step(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
if(BUILD_ONLY)
  return()
endif()

file(MAKE_DIRECTORY ${WORK_DIR}/run)
file(WRITE ${WORK_DIR}/run/vt-config.txt "headless:true,\nnetworking:false,\nframe_time:1,\n")
execute_process(COMMAND ${WORK_DIR}/build/consumer
  WORKING_DIRECTORY ${WORK_DIR}/run RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "consumer exited with ${result}\n${out}\n${err}")
endif()
file(READ ${WORK_DIR}/run/vintrel.log log)
if(NOT log MATCHES "Game engine started" OR NOT log MATCHES "Game engine stopped")
  message(FATAL_ERROR "consumer log lacks the banners:\n${log}")
endif()
message(STATUS "consumer: ${out}")
