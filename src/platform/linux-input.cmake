# The Linux backends of key input and desktop services: the evdev hook source
# (grab, translate, re-emit through a uinput clone), the uinput key injector,
# the shell (program launch and session lock), and the key table both
# directions share.
target_sources(keyloom_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/linux/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/EvdevHookSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/GrabbedKeyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/HookDispatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/InputFactories.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/KeyOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/KeyTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/LinuxShell.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/LowLevelTranslator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/PermissionHint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/UeventMonitor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/UinputKeyInjector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/UinputKeyOutput.cpp
)
target_link_libraries(keyloom_platform PUBLIC Qt6::Core PkgConfig::EVDEV PkgConfig::UDEV)
