# libjpeg-turbo and libpng, built by scripts/build-deps.sh into the build
# folder's cache (cross-built for Windows, or natively), and zlib: the static
# libz-mingw-w64-dev for Windows, the host's zlib1g-dev natively.
set(TAVELO_DEPS_PREFIX "" CACHE PATH "Install prefix of the built picture libraries")
if(NOT TAVELO_DEPS_PREFIX)
  message(FATAL_ERROR "Set TAVELO_DEPS_PREFIX to the picture libraries that scripts/build-deps.sh built")
endif()
find_library(TAVELO_JPEG_LIBRARY NAMES libjpeg.a PATHS ${TAVELO_DEPS_PREFIX}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_library(TAVELO_PNG_LIBRARY NAMES libpng16.a PATHS ${TAVELO_DEPS_PREFIX}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_library(TAVELO_ZLIB_LIBRARY NAMES libz.a z REQUIRED)

add_library(tavelo_picture_libraries INTERFACE)
# Before the system's folders, which may hold other versions of these headers.
target_include_directories(tavelo_picture_libraries BEFORE INTERFACE ${TAVELO_DEPS_PREFIX}/include)
target_link_libraries(tavelo_picture_libraries INTERFACE
  ${TAVELO_PNG_LIBRARY} ${TAVELO_JPEG_LIBRARY} ${TAVELO_ZLIB_LIBRARY})
