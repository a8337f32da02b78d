# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, so that the
# standard library has its threads and clocks): cmake -DCMAKE_TOOLCHAIN_FILE=<this file>.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KT_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One program that needs no DLL beyond Windows' own: the C and C++ runtimes and winpthreads
# linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Windows 10 and later: the calls the serial line and the window host use exist there.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE)

# Windows programs run under wine on the build machine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
