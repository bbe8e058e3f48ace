# Cross-compiles for 32-bit Windows: the program as it ships.
set(TAVELO_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR X86)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
