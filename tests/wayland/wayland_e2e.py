# SPDX-License-Identifier: MIT
# The program on real Wayland compositors, started headless: the phrase on the clipboard after a
# command made by real keys, with Qt's Wayland plugin and through Xwayland; a refused offer made
# visible and put right; the closing's length; the phrase after exit where the compositor keeps
# it; the window floating on a tiling compositor; and the one-line reason without a compositor.
# Usage: wayland_e2e.py PROGRAM WORD_LIST [--only NAME]   (exit 77: no case could run here)
import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from compositors import CannotStart, Mutter, Sway  # noqa: E402
from desktop import SKIP, Mismatch, check, wait_for  # noqa: E402

# The closing plays about a second; the stalls once seen under mutter's Xwayland lasted 5 to 15 s.
CLOSING_BOUND = 3.0
# Presses a menu item through the accessibility interface, as assistive tools do: no input event.
ACCESSIBLE_PRESS = """
import sys, time, gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi
def find(node, depth=0):
    if node is None or depth > 12:
        return None
    if node.get_name() == sys.argv[1] and node.get_role_name() == "menu item":
        return node
    return next(filter(None, (find(node.get_child_at_index(i), depth + 1) for i in range(node.get_child_count()))), None)
for _ in range(150):
    apps = [Atspi.get_desktop(0).get_child_at_index(i) for i in range(Atspi.get_desktop(0).get_child_count())]
    item = next(filter(None, (find(app) for app in apps if app and app.get_name() == "lexitrove")), None)
    if item:
        item.get_action_iface().do_action(0)
        sys.exit(0)
    time.sleep(0.1)
sys.exit("no menu item " + sys.argv[1])
"""


class Run:
    """The program started in a compositor session."""

    def __init__(self, session, program, words, plugin, accessible=False):
        self.session = session
        self.vocabulary = set(open(words, encoding="utf-8").read().split("\n"))
        if accessible:
            session.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
            session.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.process = session.start_program(session.install(program, words), plugin)
        self.started = time.monotonic()

    def words_command(self, count=1):
        """ "Words (0N)" by real keys: Alt opens the menu bar, Down its first list."""
        self.session.keys("Alt_L", "Down", *["Down"] * (count - 1), "Return")

    def phrase_on_clipboard(self, count, other_than=""):
        def phrase():
            text = self.session.clipboard()
            words = text.split(" ")
            return text if text != other_than and len(words) == count and set(words) <= self.vocabulary else None
        return wait_for("a phrase of %d words from the list on the clipboard" % count, phrase, 20,
                        seen=self.session.clipboard, interval=0.3)

    def close(self, *keys):
        """Closes the window; returns how long the process took to end."""
        start = time.monotonic()
        if keys:
            self.session.keys(*keys)
        else:
            self.session.run(["swaymsg", "[pid=%d] kill" % self.process.pid])
        try:
            self.process.wait(CLOSING_BOUND + 10)
        except subprocess.TimeoutExpired:
            raise Mismatch("the end of the process after the close", "within %g s" % CLOSING_BOUND,
                           "still running after %g s" % (CLOSING_BOUND + 10))
        took = time.monotonic() - start
        check("the exit status", 0, self.process.returncode)
        if took > CLOSING_BOUND:
            raise Mismatch("the end of the process after the close", "within %g s" % CLOSING_BOUND, "%.2f s" % took)
        return took


def sway_windows(session, pid):
    """(floating, width, height) of each of the process's windows in sway's tree."""
    found = []

    def walk(node, floating):
        if node.get("pid") == pid:
            found.append((floating, node["rect"]["width"], node["rect"]["height"]))
        for child in node.get("nodes", []):
            walk(child, floating)
        for child in node.get("floating_nodes", []):
            walk(child, True)
    walk(json.loads(session.run(["swaymsg", "-t", "get_tree"]) or "{}"), False)
    return found


def sway_keys_float_close(plugin):
    """The window floats at its own size, a phrase made by real keys is on the clipboard, and
    the closing plays about a second."""
    def case(program, words):
        with Sway() as session:
            run = Run(session, program, words, plugin)
            windows = wait_for("the window in sway's tree", lambda: sway_windows(session, run.process.pid), 30)
            floating, width, _ = windows[0]
            if not floating or width > 1500:
                raise Mismatch("the window on a tiling compositor", "floating at its own size", windows)
            time.sleep(1)
            run.words_command(2)
            run.phrase_on_clipboard(2)
            took = run.close()
            if took < 0.5:  # one pass and out: the size steps did not play
                raise Mismatch("the closing's length", "about a second", "%.2f s" % took)
            return "closing took %.2f s" % took
    return case


def sway_refused_offer(program, words):
    """A command pressed through the accessibility interface: sway refuses the offer. The
    program says so, and the next key (Return on its message) puts the phrase on the clipboard."""
    with Sway() as session:
        run = Run(session, program, words, "wayland", accessible=True)
        wait_for("the window in sway's tree", lambda: sway_windows(session, run.process.pid), 30)
        time.sleep(1)
        press = subprocess.Popen(session.AS_USER + [sys.executable, "-c", ACCESSIBLE_PRESS, "Words (02)"],
                                 env=session.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_for("the message beside the window", lambda: len(sway_windows(session, run.process.pid)) == 2, 30,
                     seen=lambda: sway_windows(session, run.process.pid))
        finally:
            press.kill()
        check("the clipboard while the message shows", "", session.clipboard())
        session.keys("Return")
        run.phrase_on_clipboard(2)
        run.close()


def mutter_keep_after_exit(plugin):
    def case(program, words):
        with Mutter() as session:
            run = Run(session, program, words, plugin)
            time.sleep(3)  # no tree to read here: a Qt window shows within about a second
            run.words_command(1)
            phrase = run.phrase_on_clipboard(1)
            took = run.close("Alt_L+F4")
            time.sleep(1)
            check("the clipboard after the program ended", phrase, session.clipboard())
            return "closing took %.2f s" % took
    return case


def no_compositor(program, words):
    with tempfile.TemporaryDirectory() as runtime:
        env = {key: value for key, value in os.environ.items() if key not in ("WAYLAND_DISPLAY", "DISPLAY")}
        env.update(QT_QPA_PLATFORM="wayland", XDG_RUNTIME_DIR=runtime)
        done = subprocess.run([program], env=env, capture_output=True, timeout=30)
    lines = done.stderr.decode(errors="replace").splitlines()
    check("the exit status without a compositor", 1, done.returncode)
    if len(lines) != 1 or not lines[0].startswith("lexitrove: "):
        raise Mismatch("what the program says without a compositor", "one line of its own", lines)


CASES = [
    ("no-compositor", no_compositor),
    ("sway-wayland-floats", sway_keys_float_close("wayland")),
    ("sway-xwayland-floats", sway_keys_float_close("xcb")),
    ("sway-refused-offer", sway_refused_offer),
    ("mutter-wayland-keeps", mutter_keep_after_exit("wayland")),
    ("mutter-xwayland-keeps", mutter_keep_after_exit("xcb")),
]


def main():
    program, words = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    only = sys.argv[sys.argv.index("--only") + 1] if "--only" in sys.argv else None
    ran = failed = 0
    for name, case in CASES:
        if only and name != only:
            continue
        try:
            note = case(program, words)
        except CannotStart as reason:
            print("%s: skipped: %s" % (name, reason), flush=True)
            continue
        except Mismatch as mismatch:
            print("%s: FAILED: %s" % (name, mismatch), flush=True)
            failed += 1
        else:
            print("%s: passed%s" % (name, " (%s)" % note if note else ""), flush=True)
        ran += 1
    if ran == 0:
        sys.exit(SKIP)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
