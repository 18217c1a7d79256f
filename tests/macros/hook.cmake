# The keyboard hook, its key names and the recorder.
keyloom_add_test(macros_hook_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/KeyboardHookTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyNameTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MacroRecorderTest.cpp
  LIBS keyloom_macros keyloom_platform_test)
