# Fails, naming every file and line, when a C++ source differs from what
# clang-format makes of it with the repository's .clang-format. Run as
#   cmake -DCLANG_FORMAT=<program> -DSOURCE_DIR=<repository> -P CheckFormat.cmake
# The sources are listed when it runs, so new files are checked without a
# new configure.
if(NOT CLANG_FORMAT)
  message(FATAL_ERROR "clang-format not found (scripts/setup installs it)")
endif()

set(patterns)
foreach(folder engine game tests bench fuzz docs template tools)
  list(APPEND patterns ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
endforeach()
file(GLOB_RECURSE sources LIST_DIRECTORIES false ${patterns})
list(LENGTH sources count)
if(count EQUAL 0)
  message(FATAL_ERROR "No C++ sources found under ${SOURCE_DIR}")
endif()

execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources}
  WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Some of the ${count} sources are not formatted: run clang-format -i on the files above")
endif()
message(STATUS "${count} sources formatted as .clang-format asks")
