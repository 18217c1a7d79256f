# Data files: read only when they are regular files of a sane size, replaced
# whole and atomically (the model files).
target_sources(keyloom_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AtomicFileWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileStatus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/AtomicFileWriterLinux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linux/DataFileReaderLinux.cpp
)
