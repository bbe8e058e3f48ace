# Settings shared by every Windows target: Unicode, Windows 7 headers, and
# static runtimes, so that the executables import only system DLLs.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

# The picture libraries, cross-built into the build folder's cache.
set(TAVELO_DEPS_PREFIX "" CACHE PATH "Install prefix of the cross-built picture libraries")
find_library(TAVELO_JPEG_LIBRARY NAMES jpeg PATHS ${TAVELO_DEPS_PREFIX}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_library(TAVELO_PNG_LIBRARY NAMES png16 PATHS ${TAVELO_DEPS_PREFIX}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
