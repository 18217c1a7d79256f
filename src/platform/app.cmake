# Process-level services of the application shell.
target_sources(keyloom_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ExecutableFolder.h
  ${CMAKE_CURRENT_LIST_DIR}/linux/ExecutableFolderLinux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstanceLock.h
  ${CMAKE_CURRENT_LIST_DIR}/linux/InstanceLockLinux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocalPeer.h
  ${CMAKE_CURRENT_LIST_DIR}/linux/LocalPeerLinux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RuntimeFolder.h
  ${CMAKE_CURRENT_LIST_DIR}/linux/RuntimeFolderLinux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SignalWatcher.h
  ${CMAKE_CURRENT_LIST_DIR}/linux/SignalWatcherLinux.cpp
)
target_link_libraries(keyloom_platform PUBLIC Qt6::Core)
