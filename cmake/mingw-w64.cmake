# Cross-build for Windows with the MinGW-w64 compilers of CMAKE_SYSTEM_PROCESSOR and of
# LUMIVANE_THREAD_MODEL (posix unless told), which the width's own toolchain file sets before it
# includes this one.
set(CMAKE_SYSTEM_NAME Windows)
set(prefix ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
if(NOT LUMIVANE_THREAD_MODEL)
  set(LUMIVANE_THREAD_MODEL posix)
endif()
set(CMAKE_C_COMPILER ${prefix}-gcc-${LUMIVANE_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${prefix}-g++-${LUMIVANE_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${prefix}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The tools that make the programs' late-loaded import libraries (cmake/system-folder-imports.cmake).
set(CMAKE_NM ${prefix}-nm)
set(CMAKE_DLLTOOL ${prefix}-dlltool)
