# Cross-compiles for 64-bit Windows: the companion program, and the tests on
# machines that cannot run 32-bit code.
set(TAVELO_TRIPLET x86_64-w64-mingw32)
# With x86_64, libpng turns its SSE2 code on.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
