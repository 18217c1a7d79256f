# The application shell's process services on Linux: the private runtime
# folder, the instance lock and the executable's folder.
keyloom_add_test(platform_app_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/linux/RuntimeFolderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/InstanceLockTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/ExecutableFolderTest.cpp
  LIBS keyloom_platform keyloom_testsupport)
