# rodheat-profile's debug.csv holds the same bytes on every platform and instruction-set path:
# its sha256 is the one in debug_csv.sha256, which the web checks read too. Run with
# -DPROGRAM=<rodheat-profile> -DEMULATOR=<what runs it, or nothing> -DWORK=<a scratch folder>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status
                OUTPUT_QUIET)
set(got "no debug.csv")
if(EXISTS ${WORK}/debug.csv)
  file(SHA256 ${WORK}/debug.csv got)
endif()
file(REMOVE_RECURSE ${WORK})
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/debug_csv.sha256 expected LIMIT_COUNT 1)
if(NOT status EQUAL 0 OR NOT got STREQUAL expected)
  message(FATAL_ERROR "rodheat-profile ended with ${status}; debug.csv: ${got}, not ${expected}")
endif()
