# The macro library (macro.xml), the key records (record.xml) and how every
# model file survives failed saves and damaged files.
keyloom_add_test(macros_library_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MacroLibraryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MacroGroupTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyRecordListTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModelFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModelFileSafetyTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MacroSaveKillTest.cpp
  LIBS keyloom_macros keyloom_lighting keyloom_testsupport)

# The process the kill-during-save test starts and kills.
add_executable(macro_save_loop ${CMAKE_CURRENT_LIST_DIR}/MacroSaveLoop.cpp)
set_target_properties(macro_save_loop PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_include_directories(macro_save_loop PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(macro_save_loop PRIVATE keyloom_macros)
add_dependencies(macros_library_tests macro_save_loop)
target_compile_definitions(macros_library_tests PRIVATE MACRO_SAVE_LOOP="$<TARGET_FILE:macro_save_loop>")
