# Windows x86-64 cross build with Debian's mingw-w64 (posix thread model). The runtime is linked in
# statically, so the outputs import system DLLs only; test executables run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALVEN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALVEN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALVEN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TALVEN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALVEN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static")
endforeach()

# A hung test must not hang the run: every emulated run is bounded (ctest's own timeout stays the tighter one).
find_program(TALVEN_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR timeout --kill-after=10 900 ${TALVEN_WINE})
