# Run after a guest test binary is linked: lists its cases on the host and
# writes one CTest test per case, each judged from the shared boot's log.
#   -D BINARY=... -D OUTPUT=... -D CHECKER=... -D LOG=...
execute_process(COMMAND ${BINARY} --gtest_list_tests
                OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list the cases of ${BINARY}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(script "")
set(suite "")
foreach(line ${lines})
  if(line MATCHES "^([A-Za-z0-9_/]+)\\.$")
    set(suite ${CMAKE_MATCH_1})
  elseif(line MATCHES "^  ([A-Za-z0-9_/]+)")
    set(case "${suite}.${CMAKE_MATCH_1}")
    string(APPEND script
      "add_test([=[kernel.${case}]=] bash [=[${CHECKER}]=] [=[${LOG}]=] [=[${case}]=])\n"
      "set_tests_properties([=[kernel.${case}]=] PROPERTIES LABELS kernel"
      " FIXTURES_REQUIRED kernel_guest SKIP_RETURN_CODE 77 TIMEOUT 30)\n")
  endif()
endforeach()
file(WRITE ${OUTPUT} "${script}")
