# make run   installs what is missing, builds, and runs the game from data/
# make test  installs what is missing, builds, and runs every test under a private Xvfb
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all setup build run test assets clean soak

all: build

setup:
	@scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	@scripts/xvfb-run.sh sh -c 'cd $(BUILD) && ctest --output-on-failure'

assets:
	@scripts/setup.sh assets
	@$(MAKE) -C tools

clean:
	rm -rf $(BUILD)

soak: build
	@scripts/xvfb-run.sh $(BUILD)/tests/vantreska_demo soak $${SOAK_SECONDS:-180}
