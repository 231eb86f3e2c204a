# Script mode: install, configure the consumer against the install, build it,
# and (unless BUILD_ONLY) run it headless in its build folder, where it finds
# its data. A game that waits for its player (RUN_SECONDS set) is stopped
# with SIGTERM that long after its log shows the start-up banner, which ends
# its loop and shuts it down cleanly. The clock starts at the banner, not at
# launch: a signal that comes before the game catches it ends the process at
# once, and on a loaded machine launching alone once took more than 10 s.
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
  # The script's status is the game's own, 0 after a clean shut-down. It
  # waits at most 120 s for the banner, and stops waiting if the game ends.
  # (No semicolons: the script is passed on as one element of a list.)
  set(stop_after_banner [=[
"$1" & game=$!
tries=0
until grep -q "Game engine started" vintrel.log 2>/dev/null
do
  kill -0 "$game" 2>/dev/null || break
  [ "$tries" -ge 1200 ] && break
  tries=$((tries + 1))
  sleep 0.1
done
sleep "$2"
kill -TERM "$game" 2>/dev/null
wait "$game"
]=])
  set(command sh -c "${stop_after_banner}" sh ${command} ${RUN_SECONDS})
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
