#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Installs Lexitrove the way a user gets it (the .deb where dpkg is at hand, `cmake --install`
# elsewhere) into a scratch root, checks the layout, the package's dependencies and, where lintian
# is installed, Debian's rules for packages, then starts the installed program through its bin/
# link under Xvfb and sees its window. Exits 77 (skipped)
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
from desktop import CLIENT_AREA, SKIP, Desktop, Mismatch, check, missing_requirements  # noqa: E402

# What a .deb needs besides dpkg-deb: without them its Depends would not name the Qt libraries.
PACKAGING_TOOLS = (("dpkg-shlibdeps", "dpkg-dev"), ("file", "file"))
# The packages of the libraries the program links, as dpkg-shlibdeps names them (Ubuntu's names
# carry a "t64" suffix), and the platform plugins, without which no window opens.
DEPENDENCIES = ("libqt6core6", "libqt6gui6", "libqt6widgets6", "qt6-qpa-plugins")

CAPTION = "Lexitrove"


def install_package(build, cpack, work, root):
    """Builds the .deb and unpacks it into `root`; returns the installation prefix."""
    made = subprocess.run([cpack, "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", work],
                          capture_output=True, text=True)
    packages = glob.glob(os.path.join(work, "*.deb"))
    if made.returncode != 0 or len(packages) != 1:
        raise Mismatch("cpack -G DEB", "one .deb and status 0", "%r, status %d, output:\n%s"
                       % (packages, made.returncode, made.stdout + made.stderr))
    subprocess.run(["dpkg-deb", "--extract", packages[0], root], check=True)
    depends = subprocess.run(["dpkg-deb", "--field", packages[0], "Depends"], check=True,
                             capture_output=True, text=True).stdout
    print("        Depends: " + depends.strip())
    names = [alternative.split()[0] for alternative in depends.replace("|", ",").split(",") if alternative.strip()]
    check("the package's dependencies missing from its Depends", [],
          [dependency for dependency in DEPENDENCIES if not any(name.startswith(dependency) for name in names)])
    run_lintian(packages[0])
    return os.path.join(root, "usr")


def run_lintian(package):
    """Debian's rules for a package: no error and no warning from lintian, where it is installed."""
    if shutil.which("lintian") is None:
        print("not run lintian: it is not installed (apt-get install lintian)")
        return
    result = subprocess.run(["lintian", "--fail-on", "error,warning", package], capture_output=True, text=True)
    hints = [line for line in result.stdout.splitlines() if line.strip()]
    if result.returncode != 0:
        raise Mismatch("lintian on " + os.path.basename(package), "no errors and no warnings, status 0",
                       "status %d:\n%s" % (result.returncode, "\n".join(hints + [result.stderr.strip()])))
    print("ok      lintian: no errors or warnings%s" % ("".join("\n        " + hint for hint in hints)))


def check_layout(prefix, build):
    folder = os.path.join(prefix, "lib", "lexitrove")
    program = os.path.join(folder, "lexitrove")
    check("lib/lexitrove/lexitrove an executable", True, os.access(program, os.X_OK))
    check("lib/lexitrove/Words.TxT the bundled word list, beside the program", True,
          filecmp.cmp(os.path.join(folder, "Words.TxT"), os.path.join(build, "Words.TxT"), shallow=False))
    link = os.path.join(prefix, "bin", "lexitrove")
    check("bin/lexitrove a relative symbolic link", True, os.path.islink(link) and not os.path.isabs(os.readlink(link)))
    check("where bin/lexitrove leads", os.path.realpath(program), os.path.realpath(link))
    share = os.path.join(prefix, "share")
    check("files missing from share/", [], [path for path in (
        "applications/lexitrove.desktop", "icons/hicolor/48x48/apps/lexitrove.png",
        "icons/hicolor/scalable/apps/lexitrove.svg", "metainfo/org.lexitrove.Lexitrove.metainfo.xml",
        "doc/lexitrove/NOTICE", "doc/lexitrove/copyright", "doc/lexitrove/changelog.gz", "man/man1/lexitrove.1.gz")
        if not os.path.isfile(os.path.join(share, path))])
    with open(os.path.join(share, "doc", "lexitrove", "copyright"), encoding="utf-8") as copyright_file:
        copyright = copyright_file.read()
    check("the licences and the word list's credit missing from doc/lexitrove/copyright", [],
          [text for text in ("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/",
                             "License: Expat", "Files: data/Words.TxT", "License: CC-BY-3.0-US",
                             "Electronic Frontier Foundation") if text not in copyright])
    print("ok      the layout under " + prefix)
    return link


def check_window(link):
    with Desktop(accessibility=False) as desktop:
        # Under AddressSanitizer (CI's second round), Qt 6.8 leaks the watcher it starts for the
        # desktop portal when, as on this plain desktop, no session bus answers: the leak check
        # is left to the other tests, which run with a bus.
        env = dict(desktop.env)
        if "ASAN_OPTIONS" in env:
            env["ASAN_OPTIONS"] += ":detect_leaks=0"
        process = desktop.processes.spawn([link], env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                          text=True)
        try:
            started = time.monotonic()
            window = desktop.find_window(process, CAPTION)
            print("ok      the installed program shows its window '%s' (after %.1f s)"
                  % (CAPTION, time.monotonic() - started))
            left, top, width, height = desktop.root_geometry(desktop.frame(window))
            if width < desktop.pixels(CLIENT_AREA[0]) or height >= width:
                raise Mismatch("the window's frame", "a long, low bar as wide as the client area at least",
                               "%dx%d" % (width, height))
            check("the window's icons include 48x48", True, (48, 48) in desktop.icon_sizes(window))
            desktop.request_close(window)
            try:
                check("the exit status after closing the window", 0, process.wait(30))
            except subprocess.TimeoutExpired:
                raise Mismatch("the program after a close request", "ended", "still running 30 s later") from None
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
        try:
            if shutil.which("dpkg-deb"):
                missing = ["%s (package %s)" % tool for tool in PACKAGING_TOOLS if shutil.which(tool[0]) is None]
                if missing:
                    print("skipped: making the .deb needs " + ", ".join(missing))
                    return SKIP
                prefix = install_package(build, cpack, work, root)
            else:
                prefix = os.path.join(root, "usr")
                subprocess.run([cmake, "--install", build, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
            link = check_layout(prefix, build)
            missing = missing_requirements(accessibility=False, driving=False)
            if missing:
                print("skipped: starting the installed program needs " + ", ".join(missing))
                return SKIP
            check_window(link)
        except Mismatch as failure:
            print("FAILED  %s\n        expected: %s\n        saw:      %s"
                  % (failure.what, failure.expected, failure.seen))
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
