# Set-up and everyday commands; everything builds into build/ and the programs land in build/bin/.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE ?= cmake

.PHONY: all configure build test run run-needle profile bench clean

all: build

$(BUILD)/build.ninja:
	$(CMAKE) -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: $(BUILD)/build.ninja

build: configure
	$(CMAKE) --build $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j 2

run: build
	@if [ -x $(BUILD)/bin/rodheat ]; then ./$(BUILD)/bin/rodheat; \
	else echo "rodheat is not built yet"; fi

run-needle: build
	@if [ -x $(BUILD)/bin/needlefield ]; then ./$(BUILD)/bin/needlefield; \
	else echo "needlefield is not built yet"; fi

profile: build
	./$(BUILD)/bin/rodheat-profile

bench: build
	./$(BUILD)/bin/bench_rodheat
	./$(BUILD)/bin/bench_paced_run

# --- reliability checks: sanitizers, fuzzing, static analysis ---
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
LINT_SOURCES = $(wildcard rodheat/*.cpp needlefield/*.cpp)
.PHONY: sanitize fuzz lint

# The whole suite on address- and UB-instrumented builds; the black-box tests run these programs.
sanitize:
	$(CMAKE) -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DLABSIM_SANITIZE=ON -DLABSIM_BUILD_BENCH=OFF
	$(CMAKE) --build $(SANITIZE_BUILD)
	UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j 2

# Each fuzz target for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=15).
fuzz:
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_BUILD=$(FUZZ_BUILD) bash fuzz/run.sh

# The configure step refreshes compile_commands.json, which clang-tidy reads. cppcheck's
# useStlAlgorithm is a taste in style, not a fault: a short search loop stays as written.
lint:
	$(CMAKE) -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@status=0; printf '%s\n' $(LINT_SOURCES) | xargs -P 2 -n 1 clang-tidy -p $(BUILD) --quiet \
	  2>$(BUILD)/clang-tidy.log || status=$$?; \
	grep -v ' warnings generated\.$$' $(BUILD)/clang-tidy.log || true; \
	if [ $$status -ne 0 ]; then echo "clang-tidy: findings above"; exit 1; fi
	@echo "clang-tidy: no findings in $(words $(LINT_SOURCES)) sources"
	cppcheck --std=c++17 --language=c++ --enable=warning,style,performance,portability \
	  --suppress=useStlAlgorithm --inline-suppr --error-exitcode=1 --quiet \
	  -I rodheat -I needlefield rodheat needlefield
	@echo "cppcheck: no findings"

# --- the whole suite with clang and its own standard library, the one macOS ships ---
LIBCXX_BUILD ?= build-libcxx
.PHONY: test-libcxx

# The system's GoogleTest is built against GCC's library, so it is built here from its sources.
test-libcxx:
	@missing=""; llvm=$$(clang++ -dumpversion 2>/dev/null | cut -d. -f1); llvm=$${llvm:-14}; \
	command -v clang++ >/dev/null || missing="$$missing clang"; \
	[ -f /usr/lib/llvm-$$llvm/lib/libc++.so ] || missing="$$missing libc++-$$llvm-dev"; \
	[ -f /usr/lib/llvm-$$llvm/lib/libc++abi.so ] || missing="$$missing libc++abi-$$llvm-dev"; \
	[ -f /usr/src/googletest/CMakeLists.txt ] || missing="$$missing googletest"; \
	if [ -n "$$missing" ]; then \
	  echo "Missing system packages:$$missing"; echo "Install them with: apt-get install$$missing"; \
	  exit 1; fi
	$(CMAKE) -S . -B $(LIBCXX_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-stdlib=libc++ \
	  -DLABSIM_BUILD_BENCH=OFF -DLABSIM_GTEST_FROM_SOURCE=ON
	$(CMAKE) --build $(LIBCXX_BUILD) -j 2
	ctest --test-dir $(LIBCXX_BUILD) --output-on-failure -j 2

# A .tar.gz of the programs and the README, in $(BUILD)/.
.PHONY: package
package: build
	$(CMAKE) --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
