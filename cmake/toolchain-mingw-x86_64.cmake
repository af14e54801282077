# Cross-build of the same sources for 64-bit Windows. Only used to run the test suites under a
# 64-bit-only Wine on machines that cannot execute 32-bit code; the program we ship is 32-bit.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(XIRARP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
