# Settings shared by every Windows target: Unicode, Windows 7 headers, and
# static runtimes, so that the executables import only system DLLs.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)


# Every program keeps its debug information in <program>.debug beside it,
# linked by name, so that crash addresses can still be read. Wine reads
# whatever sections a program has into memory at every start, which under
# emulation costs seconds.
set(CMAKE_CXX_LINK_EXECUTABLE
  "${CMAKE_CXX_LINK_EXECUTABLE}"
  "${CMAKE_OBJCOPY} --only-keep-debug <TARGET> <TARGET>.debug"
  "${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=<TARGET>.debug <TARGET>")
