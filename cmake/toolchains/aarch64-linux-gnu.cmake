# Linux aarch64 with the GNU cross compiler; the tests run under qemu's user-mode emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

find_program(LABSIM_QEMU NAMES qemu-aarch64 qemu-aarch64-static DOC "qemu, to run the tests")
if(NOT LABSIM_QEMU)
  message(FATAL_ERROR "qemu-aarch64 not found: install the package qemu-user")
endif()
# The programs are linked statically, so qemu needs no sysroot for the loader.
set(CMAKE_CROSSCOMPILING_EMULATOR ${LABSIM_QEMU})
