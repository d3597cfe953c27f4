# How every program is compiled and linked: warnings, floating point that is the same on every
# processor, static linking, and reproducible builds.

add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
  # the usual mistakes: unused values, sign mix-ups, missing returns
  -Wall
  # unused parameters and comparisons that the first set leaves out
  -Wextra
  # stay inside ISO C++ so other compilers build it too
  -Wpedantic)

add_library(project_fp INTERFACE)
target_compile_options(project_fp INTERFACE
  # results must not depend on whether the compiler fuses a multiply and an add
  -ffp-contract=off)
# Emscripten names its processor x86, but WebAssembly's doubles are plain IEEE ones.
if(NOT EMSCRIPTEN AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86|X86|x86_64|AMD64|amd64)$")
  # x87 keeps 80-bit intermediates, so comparisons and sums would differ from every other target
  target_compile_options(project_fp INTERFACE -msse2 -mfpmath=sse)
endif()

# Cross builds run on lab machines that have nothing installed, and under emulators without the
# target's shared libraries: every program and test carries its runtime (MinGW's included).
if(CMAKE_CROSSCOMPILING OR WIN32)
  set(labsim_static_default ON)
else()
  set(labsim_static_default OFF)
endif()
option(LABSIM_STATIC "Link every program statically" ${labsim_static_default})
if(LABSIM_STATIC)
  add_link_options(-static)
endif()

# Release kits are rebuilt byte for byte elsewhere, so the programs must not name the folders
# they were built in (the compiler runs in the build folder, whose name the debug data keeps).
option(LABSIM_REPRODUCIBLE "Keep the source and build folders' paths out of the programs" OFF)
if(LABSIM_REPRODUCIBLE)
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
                      -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
endif()
