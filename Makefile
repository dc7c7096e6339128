# make run   installs what is missing, builds, and runs the game from data/
# make test  installs what is missing, builds, and runs every test under a private Xvfb
# make bench builds with the benchmark and runs it under a private Xvfb
# make frames draws the reference frames of tests/frames afresh (look at each before committing)
# make package builds the Debian package into build/ and checks it with lintian and the
#              desktop entry and AppStream validators
# make distros runs make run and make test in fresh clones on minimal roots of Debian 12, 13
#              and unstable, and builds the package for i386 (DISTROS="trixie sid" picks some)
# make e2e-load runs the end-to-end suite E2E_RUNS times (default 20) beside two CPU hogs
# make windows cross-compiles the game for 64-bit Windows with MinGW-w64 and packs
#              build-windows/vantreska-<version>-windows-x64.zip
# make windows-test runs the Windows build's tests under Wine, each on a private Xvfb
BUILD ?= build
WINDOWS_BUILD ?= build-windows
JOBS ?= $(shell nproc)
# Leak checking stays off: the game keeps its assets for the whole run by design, and the
# GL driver's own allocations are reported from a module it has already unloaded.
ASAN_OPTIONS ?= detect_leaks=0

.PHONY: all setup build run test bench assets package clean soak e2e-load frames distros \
        windows windows-test

all: build

setup:
	@scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

# The in-process tests run twice: built with AddressSanitizer and UndefinedBehaviorSanitizer,
# then with everything else in the normal build, which also builds and runs the package.
test: build
	@scripts/setup.sh package
	@cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRESKA_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS) --target unit_tests
	@scripts/xvfb-run.sh sh -c 'cd $(BUILD)-asan && ASAN_OPTIONS=$(ASAN_OPTIONS) UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -R unit_tests'
	@scripts/xvfb-run.sh sh -c 'cd $(BUILD) && ctest --output-on-failure'

frames: build
	@scripts/xvfb-run.sh env VANTRESKA_WRITE_FRAMES=1 $(BUILD)/tests/unit_tests --gtest_filter='ReferenceFrames.*'
	@git status --short -- tests/frames

bench: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRESKA_BENCH=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@scripts/xvfb-run.sh scripts/bench.sh $(BUILD)

assets:
	@scripts/setup.sh assets
	@$(MAKE) -C tools

package:
	@scripts/setup.sh package
	@scripts/package.sh $(BUILD)

distros:
	@scripts/setup.sh distros
	@scripts/distros.sh $(DISTROS)

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD)

soak: build
	@scripts/xvfb-run.sh $(BUILD)/vantreska_demo soak $${SOAK_SECONDS:-600}

e2e-load: build
	@scripts/setup.sh package
	@scripts/e2e-load.sh $(BUILD) $${E2E_RUNS:-20}

.PHONY: fuzz
# make fuzz  builds and runs the asset-loader fuzzers for FUZZ_SECONDS each (default 60)
fuzz: build
	@scripts/fuzz.sh full $(BUILD)

windows:
	@scripts/setup.sh windows
	@scripts/windows.sh $(WINDOWS_BUILD) $(JOBS)

windows-test: build windows
	@scripts/windows-test.sh $(WINDOWS_BUILD) $(BUILD) $(JOBS)
