# What the self-tests of the CMake checks (the layering check, the manual check) share: run
# a check on a made-up tree, and demand a verdict and the texts its report must (and must not)
# hold. Include it after setting `check` to the check's script.

# Runs `check` with -D<variable>=<root>; its status and its whole report go to the out names.
function(run_check variable root out_result out_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -D${variable}=${root} -P ${check}
                  RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE text)
  set(${out_result} ${result} PARENT_SCOPE)
  set(${out_text} "${text}" PARENT_SCOPE)
endfunction()

# The check must pass `root` (what: how the tree is described in the failure).
function(expect_passed variable root what)
  run_check(${variable} ${root} result text)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} was refused:\n${text}")
  endif()
endfunction()

# The check must refuse `root`, naming each of NAMED and none of ALLOWED in its report (blanks
# and line breaks in the report count as one space).
function(expect_refused variable root what)
  cmake_parse_arguments(ARG "" "" "NAMED;ALLOWED" ${ARGN})
  run_check(${variable} ${root} result text)
  if(result EQUAL 0)
    message(FATAL_ERROR "${what} passed:\n${text}")
  endif()
  string(REGEX REPLACE "[ \t\r\n]+" " " flat "${text}")
  foreach(expected IN LISTS ARG_NAMED)
    string(FIND "${flat}" "${expected}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the check did not name '${expected}':\n${text}")
    endif()
  endforeach()
  foreach(allowed IN LISTS ARG_ALLOWED)
    string(FIND "${flat}" "${allowed}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "the check refused what is allowed ('${allowed}'):\n${text}")
    endif()
  endforeach()
endfunction()
