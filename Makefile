# SPDX-License-Identifier: MIT
# Shortcuts for the scripts a newcomer runs (they need nothing but bash):
#   make run     = scripts/run.sh     installs what is missing, builds, starts Lexitrove
#   make test    = scripts/test.sh    installs what is missing, builds, runs every test
#   make package = scripts/package.sh installs what is missing, builds, makes the .deb
BUILD ?= build
CMAKE_FLAGS ?=
# JOBS (make JOBS=4 test) is passed on; the scripts default it (scripts/jobs.sh).
export BUILD CMAKE_FLAGS JOBS

.PHONY: run test package build deps deps-test clean screenshot

run:
	scripts/run.sh

test:
	scripts/test.sh

package:
	scripts/package.sh

build:
	scripts/build.sh

# Takes docs/screenshot.png again: the window with a fresh phrase, on a private X desktop.
screenshot: deps-test build
	/usr/bin/python3 tests/e2e/run_e2e.py $(BUILD)/lexitrove --screenshot docs/screenshot.png

deps:
	scripts/install-deps.sh build

deps-test:
	scripts/install-deps.sh test

clean:
	rm -rf $(BUILD)
