# SPDX-License-Identifier: MIT
# The two commands a newcomer needs:
#   make run    installs what is missing, builds, and starts Lexitrove with the bundled word list
#   make test   installs what is missing, builds, and runs every test
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test build deps deps-test clean screenshot

run: deps build
	./$(BUILD)/lexitrove

test: deps-test build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

# Takes docs/screenshot.png again: the window with a fresh phrase, on a private X desktop.
screenshot: deps-test build
	/usr/bin/python3 tests/e2e/run_e2e.py $(BUILD)/lexitrove --screenshot docs/screenshot.png

deps:
	scripts/install-deps.sh build

deps-test:
	scripts/install-deps.sh test

clean:
	rm -rf $(BUILD)
