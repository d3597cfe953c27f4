#!/usr/bin/env bash
# The system packages each kind of work needs, asked in one place: the Makefile's targets, the
# release script and .ci/run all call this. Prints the missing packages and fails when there
# are any; with --list it prints their names alone, for an install.
# Usage: tools/packages.sh [--list] GROUP...
# Groups: build test trace lint libcxx windows windows-tests arm64 arm64-tests fuzz web browsers
# analysis release deb msi all
set -uo pipefail
cd "$(dirname "$0")/.."

list=false
if [ "${1:-}" = --list ]; then
  list=true
  shift
fi

# Each check is "test command:package", one a line; the command succeeds when it is there.
# clang++ alone does not bring the fuzzing runtime; a trial link tells whether it is there.
fuzz_runtime_links() {
  local dir status
  dir=$(mktemp -d)
  echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' >"$dir/p.cpp"
  clang++ -fsanitize=fuzzer "$dir/p.cpp" -o "$dir/p"
  status=$?
  rm -rf "$dir"
  return $status
}
export -f fuzz_runtime_links

checks() {
  local llvm
  llvm=$(clang++ -dumpversion 2>/dev/null | cut -d. -f1)
  llvm=${llvm:-14}
  case $1 in
    build) printf '%s\n' "command -v g++:g++" "command -v cmake:cmake" "command -v ninja:ninja-build" ;;
    test) printf '%s\n' "test -f /usr/include/gtest/gtest.h:libgtest-dev" \
      "test -f /usr/include/benchmark/benchmark.h:libbenchmark-dev" ;;
    # strace shows a test the calls that keep a results file safe; without it that test skips.
    trace) printf '%s\n' "command -v strace:strace" ;;
    lint) printf '%s\n' "command -v clang-tidy:clang-tidy" "command -v cppcheck:cppcheck" ;;
    # libc++ and its ABI library come apart; clang finds neither without them.
    libcxx) printf '%s\n' "command -v clang++:clang" \
      "test -d /usr/lib/llvm-$llvm/include/c++/v1:libc++-$llvm-dev" \
      "test -f /usr/lib/llvm-$llvm/lib/libc++abi.a:libc++abi-$llvm-dev" \
      "test -f /usr/src/googletest/CMakeLists.txt:googletest" ;;
    windows) printf '%s\n' "command -v x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix" ;;
    # Debian keeps the 64-bit Wine loader outside the search path.
    windows-tests) printf '%s\n' "command -v wine64 || command -v wine || test -x /usr/lib/wine/wine64:wine64" \
      "test -f /usr/src/googletest/CMakeLists.txt:googletest" ;;
    arm64) printf '%s\n' "command -v aarch64-linux-gnu-g++:g++-aarch64-linux-gnu" ;;
    arm64-tests) printf '%s\n' "command -v qemu-aarch64:qemu-user" \
      "test -f /usr/src/googletest/CMakeLists.txt:googletest" ;;
    fuzz) printf '%s\n' "command -v clang++:clang" "fuzz_runtime_links:libclang-rt-$llvm-dev" ;;
    # npm brings the terminal and the browser driver, never a browser.
    web) printf '%s\n' "command -v em++:emscripten" "command -v npm:npm" \
      "command -v rsvg-convert:librsvg2-bin" ;;
    # zbarimg reads the set-up page's QR code back, as a phone's camera would.
    browsers) printf '%s\n' "command -v chromium:chromium" "command -v firefox-esr:firefox-esr" \
      "command -v WebKitWebDriver:webkit2gtk-driver" "command -v Xvfb:xvfb" "command -v zbarimg:zbar-tools" ;;
    # The student guide's Python recipes are run as a student would, with Debian's Python.
    analysis) printf '%s\n' "/usr/bin/python3 -c 'import numpy':python3-numpy" \
      "/usr/bin/python3 -c 'import pandas':python3-pandas" ;;
    release) printf '%s\n' "command -v tar:tar" "command -v zip:zip" ;;
    # The Debian packages, and lintian, which check-release runs over them.
    deb) printf '%s\n' "command -v dpkg-deb:dpkg" "command -v lintian:lintian" ;;
    # wixl writes the MSI; msitools' msibuild and msiinfo set and read its summary and tables;
    # rsvg-convert draws the shortcuts' icon.
    msi) printf '%s\n' "command -v wixl:wixl" "command -v msibuild:msitools" \
      "command -v rsvg-convert:librsvg2-bin" ;;
    all) for group in build test trace lint libcxx windows windows-tests arm64 arm64-tests fuzz web \
      browsers analysis release deb msi; do
      checks "$group"; done ;;
    *) echo "tools/packages.sh: no group named $1" >&2; return 1 ;;
  esac
}

missing=()
for group in "$@"; do
  lines=$(checks "$group") || exit 2
  while IFS= read -r check; do
    if ! bash -c "${check%:*}" >/dev/null 2>&1; then
      package=${check##*:}
      [[ " ${missing[*]} " == *" $package "* ]] || missing+=("$package")
    fi
  done <<<"$lines"
done
if $list; then
  [ ${#missing[@]} -eq 0 ] || printf '%s\n' "${missing[@]}"
elif [ ${#missing[@]} -gt 0 ]; then
  echo "Missing system packages: ${missing[*]}"
  echo "Install them with: apt-get install ${missing[*]}"
fi
[ ${#missing[@]} -eq 0 ]
