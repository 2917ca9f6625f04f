# Warning flags for one target. The core also gets -Wconversion: silent
# narrowing between long double, double and the integer types is the
# commonest way a statistic loses digits.
function(ombrel_set_warnings target)
  cmake_parse_arguments(ARG "CONVERSION" "" "" ${ARGN})
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
  if(ARG_CONVERSION)
    target_compile_options(${target} PRIVATE -Wconversion -Wsign-conversion)
  endif()
  if(OMBREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
