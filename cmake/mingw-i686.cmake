# 32-bit Windows: the build that runs beside the suite and its 32-bit
# record-manager library.  cmake -S . -B build-win32 --toolchain cmake/mingw-i686.cmake
set(ZOV_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
