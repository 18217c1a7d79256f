# The macro library (macro.xml), the key records (record.xml) and how every
# model file survives failed saves and damaged files.
keyloom_add_test(macros_library_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MacroLibraryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MacroGroupTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyRecordListTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModelFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModelFileSafetyTest.cpp
  LIBS keyloom_macros keyloom_lighting keyloom_testsupport)
