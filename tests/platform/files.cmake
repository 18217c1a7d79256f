# The atomic file writer the model files are saved through, and the reader
# that reads only regular files of a sane size.
keyloom_add_test(platform_files_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/files/AtomicFileWriterTest.cpp ${CMAKE_CURRENT_LIST_DIR}/files/DataFileReaderTest.cpp
  LIBS keyloom_platform keyloom_testsupport)
