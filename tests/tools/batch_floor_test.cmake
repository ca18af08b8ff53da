# The batch benchmark's floor helper (-DPROGRAM=) given directories it cannot
# use: each run ends with status 1 and a message naming the directory, not
# with an uncaught exception. -DWORK_DIR= is a scratch directory.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/src)
file(WRITE ${WORK_DIR}/src/a.png "")
file(WRITE ${WORK_DIR}/file "")
# Each case: the mode, the source and the destination, then what the
# message names, joined by |.
set(cases
  "files|${WORK_DIR}/missing|${WORK_DIR}/dst|missing"
  "unnamed|${WORK_DIR}/file|${WORK_DIR}/dst|file"
  "files|${WORK_DIR}/src|${WORK_DIR}/file/dst|file/dst")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" args "${case}")
  list(POP_BACK args named)
  execute_process(COMMAND ${PROGRAM} ${args} RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
  if(NOT status STREQUAL "1" OR NOT err MATCHES "${named}")
    message(FATAL_ERROR "${args}: status ${status}, said: ${err}")
  endif()
endforeach()
