# 64-bit Windows.  cmake -S . -B build-win64 --toolchain cmake/mingw-x86_64.cmake
set(ZOV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
