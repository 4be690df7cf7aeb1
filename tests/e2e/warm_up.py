#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Run once before the tests on a real X server (a CTest fixture): builds the font cache and starts
# the program once on a private desktop, so that no test's first start waits for what a fresh
# machine builds on its first start, nor two tests build it at the same time.
# Usage: warm_up.py PROGRAM   (exit 77: no private desktop can run here)
"""fontconfig's packages build the font cache as they are installed, but a font folder written
to after that (xfonts-utils indexes the Type 1 fonts there once fontconfig is done) is out of
date, and the next program that reads it, on a fresh machine the first desktop's openbox as it
loads its theme, scans the folder again and writes the cache anew. fc-cache does that here,
once: into the system's cache for root, into the user's own otherwise, which the desktops keep.
"""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from desktop import SKIP, Desktop, Mismatch, missing_requirements  # noqa: E402

# The first start on a fresh, loaded two-core machine: the one wait here that may be long.
FIRST_START_BOUND = 120


def main():
    if len(sys.argv) != 2:
        print("usage: warm_up.py PROGRAM", file=sys.stderr)
        return 2
    missing = missing_requirements(accessibility=False, driving=False)
    if missing:
        print("skipped: a private desktop needs " + ", ".join(missing))
        return SKIP
    if shutil.which("fc-cache"):
        began = time.monotonic()
        built = subprocess.run(["fc-cache"], capture_output=True, text=True, timeout=FIRST_START_BOUND)
        output = (built.stdout + built.stderr).strip()
        print("fc-cache: status %d after %.1f s%s" % (built.returncode, time.monotonic() - began,
                                                      ": " + output if output else ""))
    with Desktop(accessibility=False) as desktop:
        process = desktop.processes.spawn([os.path.abspath(sys.argv[1])], desktop.env, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.PIPE, text=True)
        began = time.monotonic()
        try:
            desktop.find_window(process, "Lexitrove", FIRST_START_BOUND)
            print("first start: the window came after %.1f s" % (time.monotonic() - began))
        except Mismatch as failure:
            print("first start: " + str(failure))
            return 1
        finally:
            desktop.processes.end(process)
            errors = process.stderr.read().strip()
            if errors:
                print("program's standard error:\n" + errors)
    return 0


if __name__ == "__main__":
    sys.exit(main())
