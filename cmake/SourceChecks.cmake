# Checks on the sources themselves, built and run with the tests:
# - vintrel_header_check: every public header compiles on its own, as a game
#   includes it (one generated translation unit per header, warnings on);
# - the test "source-format": every C++ source is as clang-format leaves it;
# - the test "source-layers": every engine file includes only what the layers
#   of docs/architecture.md let it use.

file(GLOB_RECURSE VINTREL_PUBLIC_HEADERS CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/engine/include
  ${PROJECT_SOURCE_DIR}/engine/include/*.h)
list(APPEND VINTREL_PUBLIC_HEADERS vintrel/core/Version.h)
set(header_check_dir ${PROJECT_BINARY_DIR}/header-check)
set(header_check_sources)
foreach(header ${VINTREL_PUBLIC_HEADERS})
  string(REGEX REPLACE "[/.]" "_" name ${header})
  set(source ${header_check_dir}/${name}.cpp)
  # Twice, so that a header without #pragma once fails too.
  file(CONFIGURE OUTPUT ${source} CONTENT "#include <${header}>\n#include <${header}>\n")
  list(APPEND header_check_sources ${source})
endforeach()
add_library(vintrel_header_check OBJECT ${header_check_sources})
target_link_libraries(vintrel_header_check PRIVATE Vintrel::vintrel)
vintrel_set_warnings(vintrel_header_check)

# The version Debian 12 ships; another version may format a few lines differently.
find_program(VINTREL_CLANG_FORMAT NAMES clang-format-14 clang-format)
add_test(NAME source-format
  COMMAND ${CMAKE_COMMAND} -DCLANG_FORMAT=${VINTREL_CLANG_FORMAT} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -P ${PROJECT_SOURCE_DIR}/cmake/CheckFormat.cmake)
set_tests_properties(source-format PROPERTIES LABELS check)

add_test(NAME source-layers
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake)
set_tests_properties(source-layers PROPERTIES LABELS check)
