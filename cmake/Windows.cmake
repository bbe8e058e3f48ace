# Settings shared by every Windows target: Unicode, Windows 7 headers, and
# static runtimes, so that the executables import only system DLLs.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

# Small programs: optimised for size, and each function and datum in a
# section of its own, so that the link leaves out what is never called.
add_compile_options(-Os -ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections)
# Sections laid out in the file as in memory, page by page: Wine then maps
# a program's pages from its file, clean and shared, where it would copy the
# whole image into the process's private memory.
add_link_options(-Wl,--file-alignment=0x1000)

# No link timestamp, so that two builds of one commit give the same programs.
add_link_options(-Wl,--no-insert-timestamp)
enable_language(RC)

# Gives a program its version resource and its manifest, both from the
# project's version, and the icon file when one is named.
# tavelo_program_resources(<target> <description> [ICON <file>])
function(tavelo_program_resources target description)
  cmake_parse_arguments(ARG "" "ICON" "" ${ARGN})
  set(TAVELO_NAME ${target})
  set(TAVELO_DESCRIPTION ${description})
  set(TAVELO_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/Program.manifest.in ${TAVELO_MANIFEST} @ONLY)
  set(TAVELO_ICON_LINE "")
  if(ARG_ICON)
    set(TAVELO_ICON_LINE "1 ICON \"${ARG_ICON}\"")
  endif()
  set(resources ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/VersionInfo.rc.in ${resources} @ONLY)
  target_sources(${target} PRIVATE ${resources})
  set_source_files_properties(${resources} PROPERTIES OBJECT_DEPENDS "${TAVELO_MANIFEST};${ARG_ICON}")
endfunction()

# Every program keeps its debug information in <program>.debug beside it,
# linked by name, so that crash addresses can still be read. Wine reads
# whatever sections a program has into memory at every start, which under
# emulation costs seconds.
set(CMAKE_CXX_LINK_EXECUTABLE
  "${CMAKE_CXX_LINK_EXECUTABLE}"
  "${CMAKE_OBJCOPY} --only-keep-debug <TARGET> <TARGET>.debug"
  "${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=<TARGET>.debug <TARGET>")
