# Host tests of the Linux input backends: the parts that need no device (key
# table, low-level translation, verdict hand-over, the injector's choice of
# device and its frames, argument splitting, launching, the hook reader's
# pauses when its wait fails). The parts that need a kernel with uinput run
# in tests/kernel/.
keyloom_add_test(linux_input_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/linux/KeyTableTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/LowLevelTranslatorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/HookDispatcherTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/KeyOutputTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/UinputKeyInjectorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/CommandLineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/LinuxShellTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/EvdevHookSourceTest.cpp
  LIBS keyloom_platform keyloom_testsupport)
