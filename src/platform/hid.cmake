# HID device access and device-change notifications: the system's hidraw
# devices (hidapi, udev) and the in-process virtual keyboard, picked by
# HidBackend. The virtual keyboard also types, through its own hook source and
# injector (VirtualHookSource, VirtualKeyInjector). Also the per-user lock files behind the device's named locks.
target_sources(keyloom_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HidPlatform.h
  ${CMAKE_CURRENT_LIST_DIR}/DeviceNotifier.h
  ${CMAKE_CURRENT_LIST_DIR}/HidBackend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/UserLockLinux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/ReportDescriptor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/HidrawPaths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/HidrawDetails.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/ReportWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/LinuxHidPlatform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/LinuxDeviceNotifier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/virtual/VirtualKeyboardLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/virtual/VirtualKeyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/virtual/VirtualHidPlatform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/virtual/VirtualDeviceNotifier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/virtual/ControlLineBuffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/virtual/VirtualKeyboardControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/virtual/VirtualHookSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/virtual/VirtualKeyInjector.cpp
)
target_link_libraries(keyloom_platform PUBLIC Qt6::Core PkgConfig::HIDAPI PkgConfig::UDEV)
