# Cross-building for 64-bit Windows with MinGW-w64 (POSIX threads) on Debian.
# The libraries come from tools/build-windows-deps.sh and the mail libraries
# from tools/build-windows-mail-deps.sh: pass their prefixes as
# -DVERADEX_WIN_DEPS=DIR -DVERADEX_WIN_MAIL_DEPS=DIR (tools/build-windows.sh
# does). Tests and build-time tools run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VERADEX_WIN_HOST x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VERADEX_WIN_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VERADEX_WIN_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${VERADEX_WIN_HOST}-windres)
set(CMAKE_AR ${VERADEX_WIN_HOST}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${VERADEX_WIN_HOST}-ranlib CACHE FILEPATH "")

# The prefix must reach try_compile projects too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VERADEX_WIN_DEPS VERADEX_WIN_MAIL_DEPS)
foreach(prefix VERADEX_WIN_DEPS VERADEX_WIN_MAIL_DEPS)
  if(NOT ${prefix} AND DEFINED ENV{${prefix}})
    set(${prefix} "$ENV{${prefix}}")
  endif()
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${VERADEX_WIN_HOST} ${VERADEX_WIN_DEPS} ${VERADEX_WIN_MAIL_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests, their discovery and build-time tools run under Wine.
find_program(VERADEX_WINE wine)
if(VERADEX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VERADEX_WINE})
endif()

if(VERADEX_WIN_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} "${VERADEX_WIN_DEPS}/lib/pkgconfig:/usr/${VERADEX_WIN_HOST}/lib/pkgconfig")
  if(VERADEX_WIN_MAIL_DEPS)
    set(ENV{PKG_CONFIG_LIBDIR} "${VERADEX_WIN_MAIL_DEPS}/lib/pkgconfig:$ENV{PKG_CONFIG_LIBDIR}")
  endif()
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
  set(wxWidgets_CONFIG_EXECUTABLE ${VERADEX_WIN_DEPS}/bin/wx-config CACHE FILEPATH "")
  set(OPENSSL_ROOT_DIR ${VERADEX_WIN_DEPS})
  set(GTest_ROOT ${VERADEX_WIN_DEPS})
endif()
set(PKG_CONFIG_EXECUTABLE ${VERADEX_WIN_HOST}-pkg-config CACHE FILEPATH "")
set(OPENSSL_USE_STATIC_LIBS TRUE)

# One self-contained program: the C and C++ run-times and every library
# linked in (otherwise -lz and friends pick DLL import libraries).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# 64-bit file sizes and offsets in the C library's stat and lseek.
set(CMAKE_C_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
