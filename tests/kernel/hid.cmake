# Guest tests of the Linux HID backend (hidapi over hidraw, the udev or
# uevent notifier) against real uhid devices.
keyloom_add_guest_test(kernel_guest_hid
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/guest/VirtualInput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/guest/UhidKeyboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/guest/HidGuestTest.cpp
  LIBS keyloom_protocol keyloom_device keyloom_platform)
