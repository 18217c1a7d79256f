# The application shell's process services on Linux: the private runtime
# folder and the instance lock.
keyloom_add_test(platform_app_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/linux/RuntimeFolderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/InstanceLockTest.cpp
  LIBS keyloom_platform keyloom_testsupport)
