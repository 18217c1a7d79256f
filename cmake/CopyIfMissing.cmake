# cmake -DSRC=<file> -DDST=<file> -P CopyIfMissing.cmake
# Copies SRC to DST unless DST already exists.
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
