# The macro library (macro.xml) and the key records (record.xml).
target_sources(keyloom_macros PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MacroStep.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MacroGroup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StepXml.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MacroLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyRecordList.cpp
)
target_link_libraries(keyloom_macros PUBLIC keyloom_config)
