# Cross-compiles for 64-bit Windows with Debian's mingw-w64. The posix threading variant of the
# compilers: the win32 variant has no std::thread or std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The Windows programs run here under Wine; CTest starts test programs through it.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# One self-contained .exe: the C and C++ runtimes and winpthread linked in, so that it imports
# Windows system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
