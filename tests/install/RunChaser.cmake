# Script mode: installs the engine, builds the chaser example against the
# install and lets it play headless, where the runner stands still. Its log
# must show the chaser catching the runner three times, at least once along
# a path that goes around walls, well before the game's limit of 2000 steps,
# and the on-screen count of catches at 3.
set(SOURCE ${EXAMPLE_SOURCE})
include(${CMAKE_CURRENT_LIST_DIR}/BuildExample.cmake)

set(run ${WORK_DIR}/run)
file(MAKE_DIRECTORY ${run})
file(WRITE ${run}/vt-config.txt "headless:true,\nnetworking:false,\nframe_time:10,\n")
run_step(${WORK_DIR}/build/chaser WORKING_DIRECTORY ${run})
file(READ ${run}/vintrel.log log)

file(STRINGS ${run}/vintrel.log catches REGEX "Chaser: step [0-9]+, caught the runner")
list(LENGTH catches catch_count)
if(NOT catch_count EQUAL 3)
  message(FATAL_ERROR "expected 3 catches, saw ${catch_count}:\n${log}")
endif()
if(NOT log MATCHES "Chaser: step ([0-9]+), the chaser wins; Caught shows 3[.]" OR CMAKE_MATCH_1 GREATER 1000)
  message(FATAL_ERROR "the chaser did not win with Caught at 3 within 1000 steps:\n${log}")
endif()
file(STRINGS ${run}/vintrel.log paths REGEX "path of [0-9]+ cells, [0-9]+ in a straight line")
set(longest_detour 0)
foreach(line IN LISTS paths)
  string(REGEX MATCH "path of ([0-9]+) cells, ([0-9]+) in" found "${line}")
  math(EXPR detour "${CMAKE_MATCH_1} - ${CMAKE_MATCH_2}")
  if(detour GREATER longest_detour)
    set(longest_detour ${detour})
  endif()
endforeach()
if(longest_detour LESS 5)
  message(FATAL_ERROR "no path went around walls (longest detour ${longest_detour} cells):\n${log}")
endif()
