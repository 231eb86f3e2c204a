# Warnings every Vintrel target is built with.
function(vintrel_set_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wsuggest-override
    -Wcast-align -Wunused -Woverloaded-virtual -Wnull-dereference
    -Wconversion -Wsign-conversion -Wold-style-cast -Wdouble-promotion -Wformat=2
    -Wimplicit-fallthrough)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wduplicated-cond -Wduplicated-branches)
  endif()
  if(VINTREL_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
