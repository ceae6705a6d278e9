# cmake -DFILE=BINARY -P drop_empty_runpath.cmake
# CMake links a binary that it will rewrite at install time with its build RUNPATH plus a trailing
# ':' and pads it with more, to leave room for the install's RUNPATH. The dynamic loader reads an
# empty entry as the current folder, so the binary would load libraries from wherever it is
# started. This drops the empty entries; the room stays in the string table, where the install's
# rewrite still finds it.
file(READ_ELF "${FILE}" RUNPATH runpath CAPTURE_ERROR failure)
if(failure)
  message(FATAL_ERROR "cannot read the RUNPATH of ${FILE}: ${failure}")
endif()
string(REPLACE ":" ";" entries "${runpath}")
list(REMOVE_ITEM entries "")
list(JOIN entries ":" kept)
if(NOT kept STREQUAL runpath)
  file(RPATH_SET FILE "${FILE}" NEW_RPATH "${kept}")
endif()
