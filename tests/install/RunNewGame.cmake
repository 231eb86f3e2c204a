# Script mode: write a game with scripts/new-game, build it against the
# installed engine and run its own test; check that the installed
# vintrel-new-game writes the same project; then start the game from another
# folder, from its build folder and installed, where it must find its sprite
# beside the program and in <prefix>/share/<game>.
set(game ${WORK_DIR}-starter)
file(REMOVE_RECURSE ${game})
execute_process(COMMAND ${SOURCE_DIR}/scripts/new-game starter ${game} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "scripts/new-game failed (${result})")
endif()
set(SOURCE ${game})
include(${CMAKE_CURRENT_LIST_DIR}/BuildExample.cmake)

run_step(${prefix}/bin/vintrel-new-game starter ${WORK_DIR}/again)
foreach(file CMakeLists.txt main.cpp sprites/hero.txt tests/headless.txt)
  run_step(${CMAKE_COMMAND} -E compare_files ${game}/${file} ${WORK_DIR}/again/${file})
endforeach()
run_step(${CMAKE_CTEST_COMMAND} --output-on-failure --test-dir ${WORK_DIR}/build)
run_step(${CMAKE_COMMAND} --install ${WORK_DIR}/build --prefix ${WORK_DIR}/installed)

# A folder of its own, holding only the configuration and the log.
set(elsewhere ${WORK_DIR}/elsewhere)
file(MAKE_DIRECTORY ${elsewhere})
file(WRITE ${elsewhere}/vt-config.txt "headless:true,\nnetworking:false,\nframe_time:0,\n")
foreach(program ${WORK_DIR}/build/starter ${WORK_DIR}/installed/bin/starter)
  file(REMOVE ${elsewhere}/vintrel.log)
  execute_process(COMMAND ${program} --steps 5 WORKING_DIRECTORY ${elsewhere}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(READ ${elsewhere}/vintrel.log log)
  get_filename_component(folder ${program} DIRECTORY)
  if(program MATCHES "/installed/")
    set(folder ${WORK_DIR}/installed/share/starter)
  endif()
  if(NOT result EQUAL 0 OR NOT out MATCHES "walked to \\(41,12\\) in 5 steps"
     OR NOT log MATCHES "findDataFile\\(\\): 'sprites/hero.txt' is not in the working directory: found in '${folder}'")
    message(FATAL_ERROR "${program} started in ${elsewhere} (exit ${result}):\n${out}\n${err}\nits log:\n${log}")
  endif()
endforeach()
message(STATUS "new game: built, tested, and found its data from another folder")
