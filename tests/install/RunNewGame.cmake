# Script mode: install the engine, write a game with the installed
# vintrel-new-game, build it against the install and run its own test; then
# start it from another folder, first from its build folder and then
# installed, where it must find its sprite beside the program and in
# <prefix>/share/<game>.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
set(game ${WORK_DIR}/starter)

include(${CMAKE_CURRENT_LIST_DIR}/RunStep.cmake)

run_step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
run_step(${prefix}/bin/vintrel-new-game starter ${game})
run_step(${CMAKE_COMMAND} -S ${game} -B ${game}/build -G ${CMAKE_GENERATOR}
  -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}")
run_step(${CMAKE_COMMAND} --build ${game}/build)
run_step(${CMAKE_CTEST_COMMAND} --output-on-failure WORKING_DIRECTORY ${game}/build)
run_step(${CMAKE_COMMAND} --install ${game}/build --prefix ${WORK_DIR}/installed)

# A folder of its own, holding only the configuration and the log.
set(elsewhere ${WORK_DIR}/elsewhere)
file(MAKE_DIRECTORY ${elsewhere})
file(WRITE ${elsewhere}/vt-config.txt "headless:true,\nnetworking:false,\nframe_time:0,\n")
foreach(program ${game}/build/starter ${WORK_DIR}/installed/bin/starter)
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
