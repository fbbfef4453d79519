# Shared part of the two cross toolchains. The including file sets VEYRA_MINGW_TRIPLE and VEYRA_WINE_BITS.
# The -posix compilers are required: the win32 thread model has no std::thread or std::mutex.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VEYRA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEYRA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VEYRA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VEYRA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine, in the environment that scripts/winenv sets up.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec;${VEYRA_WINE_BITS})
