# Developer mode: what the tests, benchmarks and checks need beside the three programs.
option(LABSIM_BUILD_TESTS "Build the unit and black-box tests" ON)
option(LABSIM_BUILD_BENCH "Build the benchmarks" ON)

# --- instrumented builds (make sanitize, make fuzz): every target, the programs included ---
option(LABSIM_SANITIZE "Build everything with the address and undefined-behaviour sanitizers" OFF)
option(LABSIM_BUILD_FUZZ "Build the fuzz targets; needs clang++ and its libFuzzer runtime" OFF)
if(LABSIM_SANITIZE OR LABSIM_BUILD_FUZZ)
  # Any report must fail the run, so undefined behaviour stops instead of going on.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
  # GCC's flow analysis warns falsely on instrumented code (in <regex>), as its manual cautions.
  add_compile_options($<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
endif()
if(LABSIM_SANITIZE)
  # The standard library's own checks too: an iterator used after its container changed, a range
  # out of bounds. They change the containers' layout, so GoogleTest is built from its sources.
  add_compile_definitions(_GLIBCXX_DEBUG _GLIBCXX_DEBUG_PEDANTIC)
endif()
if(LABSIM_BUILD_FUZZ)
  # Coverage feedback for the fuzzer in the libraries too; only the targets link its main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
