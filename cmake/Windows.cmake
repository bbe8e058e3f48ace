# Settings shared by every Windows target: Unicode, Windows 7 headers, and
# static runtimes, so that the executables import only system DLLs.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

