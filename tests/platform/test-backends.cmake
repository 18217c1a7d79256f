# The test backends themselves: the key-traffic notation the hook and
# playback tests are written in.
keyloom_add_test(test_backend_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test/KeyTrafficTest.cpp
  LIBS keyloom_platform_test keyloom_testsupport)
