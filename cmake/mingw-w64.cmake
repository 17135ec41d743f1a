# Cross-compiling for 64-bit Windows with MinGW-w64 (its POSIX-threads variant), every program linked statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORV_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORV_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORV_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${ORV_MINGW_HOST}-windres)
# GCC 12 warns falsely (-Wrestrict, its bug 105329) on string copies its own headers inline at -O2.
set(CMAKE_CXX_FLAGS_INIT "-include ${CMAKE_CURRENT_LIST_DIR}/../windows/windows_first.h -Wno-restrict")

# The libraries built once by windows/build-deps.sh.
set(ORV_WIN_DEPS "$ENV{HOME}/.cache/orvtool-windows/prefix" CACHE PATH "Prefix of the MinGW-w64 builds of wxMSW, libpng, libjpeg and GoogleTest")
set(CMAKE_FIND_ROOT_PATH /usr/${ORV_MINGW_HOST} ${ORV_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(wxWidgets_CONFIG_EXECUTABLE ${ORV_WIN_DEPS}/bin/wx-config)
# No DLLs beside the programs: the C++ and threads runtimes linked in, symbols stripped.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s")

# Test programs run under Wine, in one prefix of the build folder made on first use.
set(ORV_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/run_under_wine.sh ${ORV_WINE_PREFIX})
