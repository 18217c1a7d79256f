# The global keyboard hook with its listener chain, the key names and the
# macro editor's recorder.
target_sources(keyloom_macros PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/KeyboardHook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyNameTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MacroRecorder.cpp
)
target_link_libraries(keyloom_macros PUBLIC keyloom_platform)
