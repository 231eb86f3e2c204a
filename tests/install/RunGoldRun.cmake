# Script mode: installs the engine, builds the Gold Run example against the
# install and plays it headless with its demo pilot, recording the run: two
# rounds, a pause in the first, a restart, a best score saved. A second run
# must start from that best score; the recording, replayed with none of the
# flags, the game key or the binding of the first run, must match it, play
# the same rounds, and leave the save as it was.
set(SOURCE ${EXAMPLE_SOURCE})
include(${CMAKE_CURRENT_LIST_DIR}/BuildExample.cmake)

set(run ${WORK_DIR}/run)
set(save ${run}/data/goldrun-ci/save.txt)
file(MAKE_DIRECTORY ${run})
set(engine_keys "headless:true,\nnetworking:false,\nframe_time:0,\ngame_name:goldrun-ci,\n")

# Runs goldrun with the arguments after the configuration text; sets `log`
# to its game lines and `out` to its standard output.
function(play config)
  file(WRITE ${run}/vt-config.txt "${config}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_HOME=${run}/data ${WORK_DIR}/build/goldrun ${ARGN}
    WORKING_DIRECTORY ${run} RESULT_VARIABLE result OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  file(STRINGS ${run}/vintrel.log lines REGEX "Gold Run: ")
  list(TRANSFORM lines REPLACE "^.*Gold Run: " "")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "goldrun ${ARGN} exited with ${result}\n${stdout}\n${stderr}\n${lines}")
  endif()
  set(log "${lines}" PARENT_SCOPE)
  set(out "${stdout}" PARENT_SCOPE)
endfunction()

macro(expect what pattern text)
  if(NOT "${text}" MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: '${pattern}' not found in:\n${text}")
  endif()
endmacro()

play("${engine_keys}goldrun_seconds:8,\nbind_pause:F2+P,\n" --demo --level 3 --record ${run}/first.vtr)
set(recorded "${log}")
expect("first run" "^level 3, 8 seconds a round, best 0, pause on F2[+]P;paused;playing on;round over [(][a-z ]+[)], score [0-9]+, best [0-9]+;round over [(][a-z ]+[)], score [0-9]+, best ([0-9]+);quit$" "${log}")
set(best ${CMAKE_MATCH_1})
file(READ ${save} saved)
expect("the save" "\nbest=${best}\n" "${saved}")

play("${engine_keys}goldrun_seconds:5,\n" --demo)
expect("second run" "^level 1, 5 seconds a round, best ${best}, pause on P;" "${log}")
file(READ ${save} saved)

play("${engine_keys}" --replay ${run}/first.vtr)
expect("replay" "Replay matched its recording" "${out}")
if(NOT log STREQUAL recorded)
  message(FATAL_ERROR "the replay played otherwise:\n${log}\nrecorded:\n${recorded}")
endif()
file(READ ${save} after_replay)
if(NOT after_replay STREQUAL saved)
  message(FATAL_ERROR "the replay changed the save:\n${after_replay}\nwas:\n${saved}")
endif()
