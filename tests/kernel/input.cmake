# Guest tests of the Linux input backends: keyloom's virtual keyboard and the
# evdev hook source against real uinput devices, the latter also with the hook
# chain and the key assignments over it, and injected keys through its clone.
keyloom_add_guest_test(kernel_guest_input
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/guest/VirtualInput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/guest/InjectorGuestTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/guest/HookGuestTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/guest/HookFateGuestTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/guest/CloneInjectionGuestTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/guest/UeventMonitorGuestTest.cpp
  LIBS keyloom_actions keyloom_platform_test keyloom_platform)
