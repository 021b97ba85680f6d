# Cross-build for 32-bit Windows, which includes the 9x family: the win32-thread-model compilers
# link no POSIX threads runtime, whose imports (GetTickCount64, the vectored exception handlers)
# are missing before Vista. The programs use no threads.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LUMIVANE_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
