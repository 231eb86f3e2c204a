# Script mode: install, configure the consumer against the install, build it,
# and (unless BUILD_ONLY) run it headless in its build folder, where it finds
# its data. A game that waits for its player (RUN_SECONDS set) is stopped
# with SIGTERM after that long, which ends its loop and shuts it down cleanly;
# the time leaves start-up room to finish on a loaded machine (10 s was once
# too short beside parallel builds), since a signal that comes before the
# game catches it ends the process at once.
set(SOURCE ${CONSUMER_SOURCE})
include(${CMAKE_CURRENT_LIST_DIR}/BuildExample.cmake)
if(BUILD_ONLY)
  return()
endif()

if(NOT EXECUTABLE)
  set(EXECUTABLE consumer)
endif()
set(run ${WORK_DIR}/build)
set(frame_time 1)
set(command ${run}/${EXECUTABLE})
if(RUN_SECONDS)
  set(frame_time 33)
  # --preserve-status: the game's own exit status, 0 after a clean shut-down.
  set(command timeout --preserve-status -s TERM ${RUN_SECONDS} ${command})
endif()
file(WRITE ${run}/vt-config.txt "headless:true,\nnetworking:false,\nframe_time:${frame_time},\n")
execute_process(COMMAND ${command}
  WORKING_DIRECTORY ${run} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(log "")
if(EXISTS ${run}/vintrel.log)
  file(READ ${run}/vintrel.log log)
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${EXECUTABLE} exited with ${result}\n${out}\n${err}\nits log:\n${log}")
endif()
if(NOT log MATCHES "Game engine started" OR NOT log MATCHES "Game engine stopped")
  message(FATAL_ERROR "${EXECUTABLE} log lacks the banners:\n${log}")
endif()
message(STATUS "${EXECUTABLE}: ${out}")
