# Cross-compiling for Windows with Debian's mingw-w64 compilers (the -posix
# thread variants). Included by the two architecture files beside it, which
# set ZOV_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)  # Windows 7 and later

set(CMAKE_C_COMPILER ${ZOV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZOV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZOV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZOV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
