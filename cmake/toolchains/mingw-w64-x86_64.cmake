# Cross-build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, so that
# std::thread and std::mutex work), tests run under wine.
#
# KOLVANE_WINDOWS_DEPS (default: build/windows-deps beside the sources) is a prefix holding the
# libraries built or staged for Windows: GoogleTest, and the headers and CMake files of CLI11 and
# nlohmann-json only (never the rest of /usr/include). scripts/test-windows.sh fills it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KOLVANE_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${KOLVANE_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOLVANE_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KOLVANE_MINGW}-windres)

if(NOT KOLVANE_WINDOWS_DEPS)
  get_filename_component(KOLVANE_WINDOWS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../../build/windows-deps" ABSOLUTE)
endif()
set(KOLVANE_WINDOWS_DEPS "${KOLVANE_WINDOWS_DEPS}" CACHE PATH "Prefix of the libraries staged for Windows")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KOLVANE_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${KOLVANE_MINGW} ${KOLVANE_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program runs alone: the C++ and GCC run-time libraries and the thread library are linked
# in, so that no DLL of the compiler must travel with the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libstdc++ -static-libgcc")

# Test programs (and GoogleTest's test discovery) run under wine.
find_program(KOLVANE_WINE NAMES wine wine64)
if(KOLVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KOLVANE_WINE})
endif()
# The test programs are listed when ctest runs, not after each link: the wine prefix is booted
# once before the tests.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
