#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Installs Lexitrove the way a user gets it (the .deb where dpkg is at hand, `cmake --install`
# elsewhere) into a scratch root, checks the layout, then starts the installed program through
# its bin/ link under Xvfb and sees its window. Exits 77 (skipped) when no private desktop can run.
# Usage: install_test.py BUILD_DIR CMAKE CPACK
import filecmp
import glob
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "e2e"))
from desktop import SKIP, Desktop, missing_requirements  # noqa: E402

CAPTION = "Lexitrove"
failures = []


def check(condition, what):
    print(("ok      " if condition else "FAILED  ") + what)
    if not condition:
        failures.append(what)
    return condition


def install_package(build, cpack, work, root):
    """Builds the .deb and unpacks it into `root`; returns the installation prefix."""
    subprocess.run([cpack, "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", work],
                   check=True, stdout=subprocess.DEVNULL)
    packages = glob.glob(os.path.join(work, "*.deb"))
    check(len(packages) == 1, "cpack made one .deb")
    subprocess.run(["dpkg-deb", "--extract", packages[0], root], check=True)
    depends = subprocess.run(["dpkg-deb", "--field", packages[0], "Depends"], check=True,
                             capture_output=True, text=True).stdout
    print("        Depends: " + depends.strip())
    check("libqt6widgets6" in depends, "the package depends on the Qt libraries it links")
    check("qt6-qpa-plugins" in depends, "the package depends on Qt's platform plugins")
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
            window = desktop.find_window(process, CAPTION)
            check(True, "the installed program shows its window '" + CAPTION + "'")
            left, top, width, height = desktop.root_geometry(desktop.frame(window))
            check(width >= 900 and height < width, f"the window is a long, low bar ({width}x{height})")
            check((48, 48) in desktop.icon_sizes(window), "the window carries the 48x48 icon")
            desktop.request_close(window)
            status = process.wait(30)
            check(status == 0, f"closing the window ends the program with status 0 (got {status})")
        finally:
            if process.poll() is None:
                desktop.processes.end(process)
                check(False, "the program ended after its window was closed")
            errors = process.stderr.read()
            if errors.strip():
                print("        program's standard error:\n" + errors)


def main():
    build, cmake, cpack = sys.argv[1:4]
    with tempfile.TemporaryDirectory(prefix="lexitrove-install-") as scratch:
        root = os.path.join(scratch, "root")
        work = os.path.join(scratch, "package")
        if shutil.which("dpkg-deb"):
            prefix = install_package(build, cpack, work, root)
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
