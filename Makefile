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

# A .tar.gz of the programs and the README, in $(BUILD)/.
.PHONY: package
package: build
	$(CMAKE) --build $(BUILD) --target package

clean:
	rm -rf $(BUILD)
