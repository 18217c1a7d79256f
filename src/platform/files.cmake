# Data files replaced whole and atomically (the model files).
target_sources(keyloom_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AtomicFileWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/AtomicFileWriterLinux.cpp
)
