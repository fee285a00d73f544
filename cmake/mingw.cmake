# Shared part of the two mingw-w64 toolchain files; each sets the processor and the triple first.
# The posix thread model: GoogleTest needs std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${SNIPQUILL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SNIPQUILL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SNIPQUILL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SNIPQUILL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests built for Windows run through Wine in the prefix of their own build.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ${SNIPQUILL_ARCH})
