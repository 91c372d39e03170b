# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads flavour), tests run under
# wine. Third-party libraries come from VY_WINDOWS_DEPS (built there by scripts/setup --windows).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VY_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VY_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VY_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VY_MINGW_TRIPLE}-windres)

if(NOT VY_WINDOWS_DEPS)
  get_filename_component(VY_WINDOWS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build/windows-deps" ABSOLUTE)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${VY_MINGW_TRIPLE} ${VY_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config (pugixml) looks only at the cross-built libraries.
set(ENV{PKG_CONFIG_LIBDIR} ${VY_WINDOWS_DEPS}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# The C99 printf of the MinGW runtime rather than the system's old one (three exponent digits,
# "1.#INF", no long double): numbers must come out as they do on Linux. libstdc++ asks for it
# too; saying it here covers C sources and keeps it from depending on include order.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
# The compiler's runtime (libgcc, libstdc++, winpthreads) linked in, so that the DLLs and
# programs need no DLL of the compiler beside them. Our own DLLs are still linked through their
# import libraries, which CMake passes by full path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Tests run under wine, in a prefix of the build tree, without noise on standard error.
if(NOT VY_WINE_PREFIX)
  get_filename_component(VY_WINE_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../build/wine" ABSOLUTE)
endif()
find_program(VY_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VY_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEDEBUG=-all WINEPREFIX=${VY_WINE_PREFIX} ${VY_WINE})
endif()
