# keyloom_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [LABELS <labels...>]
#                  [FIXTURES <fixtures...>])
#
# One GoogleTest executable per test folder. GUI tests get a main that creates
# a QApplication (on the offscreen platform when the test command sets it).
function(keyloom_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;LABELS;FIXTURES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  if(T_GUI)
    target_link_libraries(${name} PRIVATE keyloom_testsupport_gui Qt6::Test ${T_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} keyloom_testsupport_main GTest::gtest GTest::gmock)
  endif()
  target_compile_definitions(${name} PRIVATE
    KEYLOOM_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KEYLOOM_PROGRAM_DIR="${KEYLOOM_PROGRAM_DIR}")
  set(labels unit)
  if(T_LABELS)
    set(labels ${T_LABELS})
  endif()
  set(fixtures)
  if(T_FIXTURES)
    set(fixtures FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}" ${fixtures})
endfunction()
