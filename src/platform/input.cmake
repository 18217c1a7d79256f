# Key input and desktop services: the keyboard hook source, the key injector
# and the shell (KeyboardHookSource.h, KeyInjector.h, Shell.h). The shipping
# backends live in linux/ with a fragment of their own; the scripted and
# recording backends for tests form a library of their own, so nothing of
# them reaches the program.
add_library(keyloom_platform_test STATIC
  ${CMAKE_CURRENT_LIST_DIR}/test/KeyTraffic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test/RecordingInjector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test/RecordingShell.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test/ScriptedHookSource.cpp
)
target_include_directories(keyloom_platform_test PUBLIC ${KEYLOOM_SRC})
target_link_libraries(keyloom_platform_test PUBLIC keyloom_platform)
