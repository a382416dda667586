# Cross build of the 32-bit Windows program with Debian's MinGW-w64 (posix threads variant).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VSZEB_MINGW_PREFIX i686-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${VSZEB_MINGW_PREFIX}-gcc-posix ${VSZEB_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VSZEB_MINGW_PREFIX}-g++-posix ${VSZEB_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VSZEB_MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${VSZEB_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# GCC 12 reports impossible overlapping copies inside std::string at -O3
# (a false positive of -Wrestrict in its own headers); -Werror would stop the build.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
