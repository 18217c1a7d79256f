# The HID backends: the virtual keyboard (with its typing, which takes the
# recorder's key names), and the pure parts of the hidraw
# backend (report descriptors, device paths) plus what it does on a machine
# without HID devices. The hidraw backend against a real kernel runs in
# tests/kernel/.
keyloom_add_test(hid_platform_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/hid/VirtualKeyboardTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hid/ReportDescriptorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hid/HidrawPathsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hid/LinuxHidBackendTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hid/ReportWriterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hid/HidBackendTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hid/VirtualTypingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hid/VirtualKeyboardControlTest.cpp
  LIBS keyloom_platform keyloom_macros keyloom_testsupport Qt6::Test)
