# Cross-builds for 64-bit Windows with Debian's MinGW-w64: the tests' build where
# Wine runs only 64-bit programs (a kernel without 32-bit support).
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
