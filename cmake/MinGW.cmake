# The part of the two toolchain files they share; each sets TAVELO_TRIPLET
# and CMAKE_SYSTEM_PROCESSOR first. The posix thread model is the one with
# std::thread and std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${TAVELO_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVELO_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${TAVELO_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVELO_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
