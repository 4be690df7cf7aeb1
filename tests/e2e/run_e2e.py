# SPDX-License-Identifier: MIT
# Runs the end-to-end cases against a built executable on a private X desktop (or takes the README's screenshot).
"""Usage: /usr/bin/python3 tests/e2e/run_e2e.py PROGRAM [--failures DIR] [--only NAME...]
       /usr/bin/python3 tests/e2e/run_e2e.py PROGRAM --screenshot PATH

Exits 0 when every case passed, 1 when one failed, 77 (skipped) when the machine lacks Xvfb,
openbox, xdotool, xclip, ImageMagick, xfsettingsd or the accessibility bus (scripts/install-deps.sh
test installs them). A failing case says what it expected and what it saw, and keeps a screenshot
in the failures folder.
"""
import argparse
import os
import shutil
import signal
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from desktop import SKIP, Desktop, missing_requirements  # noqa: E402

SUITE_BUDGET = 270  # seconds; ctest stops the suite at 300
CASE_BUDGET = 60


class OutOfTime(Exception):
    pass


def _out_of_time(signum, frame):
    raise OutOfTime("the case ran longer than %d s" % CASE_BUDGET)


def _ended_from_outside(signum, frame):
    # SystemExit unwinds through every `finally`, so the desktop is still taken down.
    raise SystemExit("ended by signal %d" % signum)


def run_cases(desktop, executable, names, failures, workdir):
    from cases import CASES
    from program import Fixture
    chosen = [(name, function) for name, function in CASES if not names or name in names]
    unknown = set(names or []) - {name for name, _ in CASES}
    if unknown:
        print("unknown cases: %s" % ", ".join(sorted(unknown)))
        return 1
    suite_end = time.monotonic() + SUITE_BUDGET
    failed = []
    for name, function in chosen:
        if time.monotonic() > suite_end:
            print("FAIL %s: not run, the suite used up its %d s" % (name, SUITE_BUDGET))
            failed.append(name)
            continue
        began = time.monotonic()
        fixture = Fixture(desktop, executable, os.path.join(workdir, name))
        signal.alarm(CASE_BUDGET)
        try:
            function(fixture)
            print("ok   %-28s %5.1f s" % (name, time.monotonic() - began), flush=True)
        except Exception as failure:
            signal.alarm(0)
            failed.append(name)
            report_failure(name, failure, fixture, desktop, failures)
        finally:
            signal.alarm(0)
            fixture.clean_up()
    print("%d of %d cases passed" % (len(chosen) - len(failed), len(chosen)))
    return 1 if failed else 0


def report_failure(name, failure, fixture, desktop, failures):
    from desktop import Mismatch
    if isinstance(failure, Mismatch):
        print("FAIL %s: %s\n       expected: %s\n       saw:      %s" % (name, failure.what, failure.expected,
                                                                        failure.seen))
    else:
        print("FAIL %s: %s" % (name, "".join(traceback.format_exception(failure)).rstrip()))
    os.makedirs(failures, exist_ok=True)
    shot = os.path.join(failures, name + ".png")
    try:
        desktop.screenshot().save(shot)
        print("       screenshot: %s" % shot)
    except Exception as error:
        print("       no screenshot: %s" % error)
    for program in fixture.programs:
        output = program.log().strip()
        if output:
            print("       program output: %s" % output.replace("\n", "\n                       "))
    sys.stdout.flush()


def take_screenshot(desktop, executable, path, workdir):
    from cases import take_readme_screenshot
    from program import Fixture
    words_path = os.path.join(os.path.dirname(executable), "Words.TxT")
    with open(words_path, "rb") as words:
        fixture = Fixture(desktop, executable, os.path.join(workdir, "screenshot"))
        try:
            take_readme_screenshot(fixture, words.read(), os.path.abspath(path))
        finally:
            fixture.clean_up()
    print("wrote %s" % path)
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program", help="the built lexitrove executable")
    parser.add_argument("--failures", default="e2e-failures", help="where failing cases keep their screenshots")
    parser.add_argument("--only", nargs="*", help="run just these cases")
    parser.add_argument("--screenshot", help="take the README's screenshot into this PNG and run no case")
    args = parser.parse_args()

    missing = missing_requirements(("xfsettingsd",))
    if missing:
        print("skipped: this machine lacks %s (scripts/install-deps.sh test installs them)" % ", ".join(missing))
        return SKIP
    executable = os.path.abspath(args.program)
    if not os.access(executable, os.X_OK):
        print("no executable at %s" % executable)
        return 1
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, _ended_from_outside)
    signal.signal(signal.SIGALRM, _out_of_time)
    workdir = tempfile.mkdtemp(prefix="lexitrove-e2e-")
    try:
        with Desktop(workdir) as desktop:
            if args.screenshot:
                return take_screenshot(desktop, executable, args.screenshot, workdir)
            return run_cases(desktop, executable, args.only, os.path.abspath(args.failures), workdir)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
