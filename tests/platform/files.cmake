# The atomic file writer the model files are saved through.
keyloom_add_test(platform_files_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/files/AtomicFileWriterTest.cpp
  LIBS keyloom_platform keyloom_testsupport)
