# Set-up and everyday commands; everything builds into build/ and the programs land in build/bin/.
CMAKE ?= cmake
CTEST ?= ctest
# BUILD_TYPE, when given, overrides the build type the project defaults to.
BUILD_TYPE ?=
TYPE_FLAG = $(if $(BUILD_TYPE),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE))

.PHONY: all configure build test run run-needle profile bench clean

all: build

# Each variant is a preset of CMakePresets.json (cmake --list-presets=all): configured, built and
# tested by its name. A plain `cmake -S . -B build-plain && cmake --build build-plain` makes the
# three programs alone.
PRESET = $(CMAKE) --preset
# Where a preset builds, for the targets that run what it made: build-NAME, the presets' rule,
# and build/ for dev, where the README sends its readers.
folder = $(if $(filter dev,$(1)),build,build-$(1))
BUILD = $(call folder,dev)

# Run every time, so that a folder first configured without developer mode gets it too.
configure:
	$(PRESET) dev $(TYPE_FLAG) >/dev/null

build: configure
	$(CMAKE) --build --preset dev

test: build
	$(CTEST) --preset dev

run: build
	@if [ -x $(BUILD)/bin/rodheat ]; then $(BUILD)/bin/rodheat; \
	else echo "rodheat is not built yet"; fi

run-needle: build
	@if [ -x $(BUILD)/bin/needlefield ]; then $(BUILD)/bin/needlefield; \
	else echo "needlefield is not built yet"; fi

profile: build
	$(BUILD)/bin/rodheat-profile

bench: build
	$(BUILD)/bin/bench_rodheat
	$(BUILD)/bin/bench_paced_run

# --- reliability checks: sanitizers, fuzzing, static analysis ---
FUZZ_SECONDS ?= 60
# Other platforms' sources (Windows, the browser) are checked by their own warning-free builds.
LINT_SOURCES = $(filter-out %_windows.cpp %_web.cpp %_none.cpp,\
  $(wildcard common/*.cpp rodheat/*/*.cpp needlefield/*.cpp))
.PHONY: sanitize fuzz lint

# The whole suite on address- and UB-instrumented builds; the black-box tests run these programs.
sanitize:
	$(PRESET) sanitize $(TYPE_FLAG)
	$(CMAKE) --build --preset sanitize
	$(CTEST) --preset sanitize

# Each fuzz target for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=15).
fuzz:
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash fuzz/run.sh

# The configure step refreshes compile_commands.json, which clang-tidy reads. cppcheck's
# useStlAlgorithm is a taste in style, not a fault: a short search loop stays as written. The
# page, the programs' glue and the service worker are checked against their JSDoc types, each
# with the library its host has.
lint:
	$(PRESET) dev $(TYPE_FLAG) >/dev/null
	@status=0; printf '%s\n' $(LINT_SOURCES) | xargs -P 2 -n 1 clang-tidy -p $(BUILD) --quiet \
	  2>$(BUILD)/clang-tidy.log || status=$$?; \
	grep -v ' warnings generated\.$$' $(BUILD)/clang-tidy.log || true; \
	if [ $$status -ne 0 ]; then echo "clang-tidy: findings above"; exit 1; fi
	@echo "clang-tidy: no findings in $(words $(LINT_SOURCES)) sources"
	cppcheck --std=c++17 --language=c++ --enable=warning,style,performance,portability \
	  --suppress=useStlAlgorithm --inline-suppr --error-exitcode=1 --quiet \
	  -I common -I rodheat -I needlefield common rodheat needlefield
	@echo "cppcheck: no findings"
	@$(MAKE) --no-print-directory web-modules
	cd web && for part in page program worker; do node node_modules/typescript/bin/tsc -p $$part || exit 1; done
	node web/tools/check_words.mjs
	@echo "tsc: the page, the programs' glue and the service worker check against their messages"

# --- the whole suite with clang and its own standard library, the one macOS ships ---
.PHONY: test-libcxx

# The system's GoogleTest is built against GCC's library, so it is built here from its sources.
test-libcxx:
	@bash tools/packages.sh libcxx
	$(PRESET) libcxx $(TYPE_FLAG)
	$(CMAKE) --build --preset libcxx
	$(CTEST) --preset libcxx

# --- cross builds: Windows x86-64 under Wine, Linux aarch64 under qemu, all linked statically ---
GTEST_SOURCE_DIR ?= /usr/src/googletest
# The benchmark library is the host's only; GoogleTest is built for the target from its sources.
CROSS_FLAGS = $(TYPE_FLAG) -DLABSIM_GTEST_SOURCE_DIR=$(GTEST_SOURCE_DIR)
.PHONY: test-windows test-arm64 windows-build arm64-build

windows-build:
	@bash tools/packages.sh windows windows-tests
	$(PRESET) windows $(CROSS_FLAGS)
	$(CMAKE) --build --preset windows

arm64-build:
	@bash tools/packages.sh arm64 arm64-tests
	$(PRESET) arm64 $(CROSS_FLAGS)
	$(CMAKE) --build --preset arm64

# The whole suite under Wine. Its first start makes the build's own prefix, which takes a while,
# so that happens once here and not inside a timed test.
test-windows: windows-build
	WINEPREFIX=$(abspath $(call folder,windows))/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
	  "$$(sed -n 's/^LABSIM_WINE:FILEPATH=//p' $(call folder,windows)/CMakeCache.txt)" wineboot -i
	$(CTEST) --preset windows

# The whole suite under qemu's user-mode emulator.
test-arm64: arm64-build
	$(CTEST) --preset arm64

# --- release: the teacher's and the student's kit of every platform, with SHA256SUMS ---
RELEASE ?= build-release
# Empty, every platform: each preset release-NAME of CMakePresets.json, and the web.
RELEASE_PLATFORMS ?=
# The platforms that check-release builds a second time and compares byte for byte.
RELEASE_AGAIN ?= Linux
.PHONY: release check-release

release:
	bash release/make-kits.sh $(RELEASE) $(RELEASE_PLATFORMS)

# The kits' contents, their start in an empty root, and a second build elsewhere.
check-release: release
	bash tests/check_release.sh $(RELEASE) "$(RELEASE_AGAIN)"

# --- the site: the programs in a web page, compiled with emscripten ---
WEB_BUILD = $(call folder,web)
# The programs the site offers (make web WEB_PROGRAMS="rodheat needlefield"); all by default.
WEB_PROGRAMS ?=
.PHONY: web web-modules package-web test-web

web-modules:
	@bash web/tools/build-site.sh --modules-only

web:
	bash web/tools/build-site.sh $(WEB_BUILD) \
	  $(if $(WEB_PROGRAMS),-DLABSIM_WEB_PROGRAMS="$(WEB_PROGRAMS)",-ULABSIM_WEB_PROGRAMS) \
	  $(if $(WEB_PACKAGE_NAME),-DLABSIM_WEB_PACKAGE_NAME=$(WEB_PACKAGE_NAME))

# $(WEB_BUILD)/labsim-1.0.0-web.zip (or WEB_PACKAGE_NAME.zip): one folder with the site, the README
# and the teacher's guide with its pictures.
package-web: web
	TARGET=package-web bash web/tools/build-site.sh $(WEB_BUILD)

# The web programs under Node against the native ones, then a session in each browser engine;
# WebKit's runs in a virtual display of its own.
test-web: build web
	@bash tools/packages.sh browsers analysis
	node web/test/check.js $(BUILD)/bin $(WEB_BUILD)

# Every preset's folder, those of the release's presets built by hand among them.
clean:
	rm -rf $(foreach preset,$(shell $(CMAKE) --list-presets | sed -n 's/^ *"\([^"]*\)".*/\1/p'),\
	  $(call folder,$(preset))) $(RELEASE)
