# The 32-bit x86 build, the program we ship.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SNIPQUILL_MINGW_TRIPLE i686-w64-mingw32)
set(SNIPQUILL_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
