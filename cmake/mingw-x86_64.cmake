# The same sources as 64-bit Windows programs: the test build that runs natively under wine64 on
# machines whose kernel cannot run 32-bit code (see docs/platform.md).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VEYRA_MINGW_TRIPLE x86_64-w64-mingw32)
set(VEYRA_WINE_BITS 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
