# Windows x86-64 with the MinGW-w64 POSIX-threads compiler; the tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Debian keeps the 64-bit loader outside the search path.
find_program(LABSIM_WINE NAMES wine64 wine PATHS /usr/lib/wine DOC "Wine, to run the tests")
if(NOT LABSIM_WINE)
  message(FATAL_ERROR "Wine not found: install the package wine64")
endif()
# A prefix of its own in the build folder keeps runs self-contained; -all keeps them quiet.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all ${LABSIM_WINE})
