#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Installs Lexitrove the way a user gets it (the .deb where dpkg is at hand, `cmake --install`
# elsewhere) into a scratch root, checks the layout and the package's dependencies, then starts
# the installed program through its bin/ link under Xvfb and sees its window. Exits 77 (skipped)
# where the tools for making the .deb or for a private desktop are missing.
# Usage: install_test.py BUILD_DIR CMAKE CPACK
import filecmp
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "e2e"))
from desktop import SKIP, Desktop, missing_requirements  # noqa: E402

# What a .deb needs besides dpkg-deb: without them its Depends would not name the Qt libraries.
PACKAGING_TOOLS = (("dpkg-shlibdeps", "dpkg-dev"), ("file", "file"))
# The packages of the libraries the program links, as dpkg-shlibdeps names them (Ubuntu's names
# carry a "t64" suffix), and the platform plugins, without which no window opens.
DEPENDENCIES = ("libqt6core6", "libqt6gui6", "libqt6widgets6", "qt6-qpa-plugins")

CAPTION = "Lexitrove"
failures = []


def check(condition, what):
    print(("ok      " if condition else "FAILED  ") + what)
    if not condition:
        failures.append(what)
    return condition


def install_package(build, cpack, work, root):
    """Builds the .deb and unpacks it into `root`; returns the installation prefix."""
    made = subprocess.run([cpack, "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", work],
                          capture_output=True, text=True)
    packages = glob.glob(os.path.join(work, "*.deb"))
    if not check(made.returncode == 0 and len(packages) == 1, "cpack made one .deb"):
        print(made.stdout + made.stderr)
        return None
    subprocess.run(["dpkg-deb", "--extract", packages[0], root], check=True)
    depends = subprocess.run(["dpkg-deb", "--field", packages[0], "Depends"], check=True,
                             capture_output=True, text=True).stdout
    print("        Depends: " + depends.strip())
    names = [alternative.split()[0] for alternative in depends.replace("|", ",").split(",") if alternative.strip()]
    for dependency in DEPENDENCIES:
        check(any(name.startswith(dependency) for name in names), "the package depends on " + dependency)
    return os.path.join(root, "usr")


def check_layout(prefix, build):
    folder = os.path.join(prefix, "lib", "lexitrove")
    program = os.path.join(folder, "lexitrove")
    check(os.access(program, os.X_OK), "lib/lexitrove/lexitrove is an executable")
    check(filecmp.cmp(os.path.join(folder, "Words.TxT"), os.path.join(build, "Words.TxT"), shallow=False),
          "lib/lexitrove/Words.TxT is the bundled word list, beside the program")
    link = os.path.join(prefix, "bin", "lexitrove")
    check(os.path.islink(link) and not os.path.isabs(os.readlink(link)),
          "bin/lexitrove is a relative symbolic link")
    check(os.path.realpath(link) == os.path.realpath(program), "bin/lexitrove leads to lib/lexitrove/lexitrove")
    share = os.path.join(prefix, "share")
    for path in ("applications/lexitrove.desktop", "icons/hicolor/48x48/apps/lexitrove.png",
                 "icons/hicolor/scalable/apps/lexitrove.svg", "metainfo/org.lexitrove.Lexitrove.metainfo.xml",
                 "doc/lexitrove/NOTICE", "doc/lexitrove/LICENSE"):
        check(os.path.isfile(os.path.join(share, path)), "share/" + path + " is installed")
    return link


def check_window(link):
    with Desktop(accessibility=False) as desktop:
        process = desktop.processes.spawn([link], desktop.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                          text=True)
        try:
            started = time.monotonic()
            try:
                window = desktop.find_window(process, CAPTION)
            except RuntimeError as failure:
                check(False, "the installed program shows its window: " + str(failure))
                return
            check(True, "the installed program shows its window '%s' (after %.1f s)"
                  % (CAPTION, time.monotonic() - started))
            left, top, width, height = desktop.root_geometry(desktop.frame(window))
            check(width >= 900 and height < width, f"the window is a long, low bar ({width}x{height})")
            check((48, 48) in desktop.icon_sizes(window), "the window carries the 48x48 icon")
            desktop.request_close(window)
            try:
                status = process.wait(30)
                check(status == 0, f"closing the window ends the program with status 0 (got {status})")
            except subprocess.TimeoutExpired:
                check(False, "closing the window ends the program (it still runs 30 s later)")
        finally:
            if process.poll() is None:
                desktop.processes.end(process)
            errors = process.stderr.read()
            if errors.strip():
                print("        program's standard error:\n" + errors)


def main():
    build, cmake, cpack = sys.argv[1:4]
    with tempfile.TemporaryDirectory(prefix="lexitrove-install-") as scratch:
        root = os.path.join(scratch, "root")
        work = os.path.join(scratch, "package")
        if shutil.which("dpkg-deb"):
            missing = ["%s (package %s)" % tool for tool in PACKAGING_TOOLS if shutil.which(tool[0]) is None]
            if missing:
                print("skipped: making the .deb needs " + ", ".join(missing))
                return SKIP
            prefix = install_package(build, cpack, work, root)
            if prefix is None:
                return 1
        else:
            prefix = os.path.join(root, "usr")
            subprocess.run([cmake, "--install", build, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
        link = check_layout(prefix, build)
        if failures:
            return 1
        missing = missing_requirements(accessibility=False, driving=False)
        if missing:
            print("skipped: starting the installed program needs " + ", ".join(missing))
            return SKIP
        check_window(link)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
