# SPDX-License-Identifier: MIT
# The clipboard on a real X server: the phrase read by xclip after a command and after "Copy
# Text", and what is left of it once the program has ended, with and without a clipboard manager.
# Usage: clipboard_e2e.py PROGRAM WORD_LIST  (exit 77: the machine lacks what the test needs)
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
TOOLS = ("Xvfb", "openbox", "xdotool", "xclip", "dbus-launch", "xfsettingsd")
PLAIN_TEXT_TARGETS = {"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "UTF8_STRING", "STRING", "TEXT",
                      "COMPOUND_TEXT", "text/plain", "text/plain;charset=utf-8"}


def wait_for(condition, what, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(0.02)
    raise AssertionError(f"timed out waiting for {what}")


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def stop(process):
    """Ends a process this test started, by its id."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def command_line(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return f.read()
    except OSError:
        return None


def end_process(pid, command, wait_first):
    """Ends a process started on this test's behalf, by its id: first, if asked, gives it time to
    leave by itself. `command` guards against a reused id: another program is left alone."""

    def alive():
        current = command_line(pid)  # empty for a process that has ended but is not yet reaped
        return bool(current) and (command is None or current == command)

    def gone_within(seconds):
        deadline = time.monotonic() + seconds
        while alive() and time.monotonic() < deadline:
            time.sleep(0.05)
        return not alive()

    if wait_first and gone_within(5.0):
        return
    for sig in (signal.SIGTERM, signal.SIGKILL):
        if not alive():
            return
        try:
            os.kill(pid, sig)
        except ProcessLookupError:
            return
        if gone_within(5.0):
            return


class Desktop:
    """Xvfb, openbox and, when asked, a D-Bus session with xfsettingsd as clipboard manager.
    Everything it starts ends with the with-statement."""

    def __init__(self, manager):
        self.manager = manager
        self.processes = []
        self.manager_process = None
        self.bus_pid = None
        self.env = None
        self.x = None
        self.home = None

    def __enter__(self):
        from Xlib import display as xdisplay

        try:
            read_end, write_end = os.pipe()
            xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-dpi",
                                     "96", "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,),
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.processes.append(xvfb)
            os.close(write_end)
            with os.fdopen(read_end) as reader:
                number = reader.readline().strip()
            check(number, "Xvfb did not start")
            # Settings and caches of the desktop's programs go to a folder of the test's own.
            self.home = tempfile.mkdtemp(prefix="lexitrove-clip-home-")
            self.env = dict(os.environ, DISPLAY=f":{number}", QT_QPA_PLATFORM="xcb", NO_AT_BRIDGE="1",
                            XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                            XDG_CACHE_HOME=os.path.join(self.home, "cache"))
            for name in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "SESSION_MANAGER"):
                self.env.pop(name, None)
            self.x = xdisplay.Display(self.env["DISPLAY"])
            self.start(["openbox", "--sm-disable"])
            wait_for(lambda: self.x.screen().root.get_full_property(self.atom("_NET_SUPPORTING_WM_CHECK"), 0),
                     "the window manager")
            if self.manager:
                self.start_manager()
            return self
        except BaseException:
            self.__exit__(None, None, None)
            raise

    def start_manager(self):
        out = subprocess.run(["dbus-launch", "--sh-syntax"], env=self.env, capture_output=True, text=True,
                             check=True, timeout=20).stdout
        for line in out.splitlines():
            key, _, value = line.partition("=")
            value = value.rstrip(";").strip("'")
            if key == "DBUS_SESSION_BUS_ADDRESS":
                self.env[key] = value
            elif key == "DBUS_SESSION_BUS_PID":
                self.bus_pid = int(value)
        self.manager_process = self.start(["xfsettingsd", "--no-daemon", "--disable-wm-check"])
        wait_for(lambda: self.owner("CLIPBOARD_MANAGER"), "xfsettingsd to take CLIPBOARD_MANAGER")

    def start(self, command, **kwargs):
        process = subprocess.Popen(command, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   **kwargs)
        self.processes.append(process)
        return process

    def stop_manager(self):
        stop(self.manager_process)

    def __exit__(self, *exc):
        if self.x is not None:
            self.x.close()
            self.x = None
        services = self.bus_services()
        for process in reversed(self.processes):
            stop(process)
        self.processes.clear()
        # The bus ends last; the services it started for xfsettingsd (xfconfd) leave with it,
        # and are waited for, so that none outlives the test nor writes into its folder after.
        if self.bus_pid is not None:
            end_process(self.bus_pid, None, wait_first=False)
            self.bus_pid = None
        for pid, command in services:
            end_process(pid, command, wait_first=True)
        if self.home is not None:
            shutil.rmtree(self.home, ignore_errors=True)
            self.home = None

    def bus_services(self):
        """(pid, command line) of every other program connected to this desktop's bus."""
        if self.bus_pid is None:
            return []

        def ask(method, *args):
            result = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                     "/org/freedesktop/DBus", f"org.freedesktop.DBus.{method}", *args],
                                    env=self.env, capture_output=True, text=True, timeout=10)
            return result.stdout

        services = []
        for name in re.findall(r'string "(:[^"]+)"', ask("ListNames")):
            found = re.search(r"uint32 (\d+)", ask("GetConnectionUnixProcessID", f"string:{name}"))
            pid = int(found.group(1)) if found else 0
            if pid and pid != self.bus_pid and pid not in (p.pid for p in self.processes):
                services.append((pid, command_line(pid)))
        return services

    # --- The X server -------------------------------------------------------------------------
    def atom(self, name):
        return self.x.intern_atom(name)

    def owner(self, selection):
        owner = self.x.get_selection_owner(self.atom(selection))
        return owner if isinstance(owner, int) else owner.id

    def clipboard(self):
        """(text, True) when something serves the clipboard as text, else (None, False)."""
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env, capture_output=True,
                                timeout=10)
        return (result.stdout.decode(), True) if result.returncode == 0 else (None, False)

    def clipboard_targets(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"], env=self.env,
                                capture_output=True, text=True, timeout=10)
        return set(result.stdout.split())

    def take_clipboard(self, text):
        """Plays another program taking the clipboard; it serves until someone else takes it."""
        xclip = self.start(["xclip", "-quiet", "-i", "-selection", "clipboard"], stdin=subprocess.PIPE)
        xclip.stdin.write(text.encode())
        xclip.stdin.close()
        wait_for(lambda: self.clipboard()[0] == text, "the other program's text on the clipboard")
        return xclip

    def windows_of(self, pid):
        clients = self.x.screen().root.get_full_property(self.atom("_NET_CLIENT_LIST"), 0)
        found = []
        for window_id in clients.value if clients else ():
            window = self.x.create_resource_object("window", window_id)
            pids = window.get_full_property(self.atom("_NET_WM_PID"), 0)
            if pids and pids.value[0] == pid:
                found.append(window)
        return found

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=10)

    def snapshot(self, left, top, width, height):
        from Xlib import X

        return self.x.screen().root.get_image(left, top, width, height, X.ZPixmap, 0xFFFFFFFF).data


class Program:
    """Lexitrove run from a copy in a folder of its own, beside its own Words.TxT."""

    def __init__(self, desktop, program, words):
        self.desktop = desktop
        self.folder = tempfile.mkdtemp(prefix="lexitrove-clip-")
        shutil.copy2(program, os.path.join(self.folder, "lexitrove"))
        shutil.copy2(words, os.path.join(self.folder, "Words.TxT"))
        self.vocabulary = set(open(words, encoding="utf-8").read().split())
        self.process = desktop.start([os.path.join(self.folder, "lexitrove")], cwd=self.folder)
        try:
            self.show()
        except BaseException:
            self.close()
            raise

    def show(self):
        desktop = self.desktop
        self.window = wait_for(lambda: self.named_window("Lexitrove"), "the Lexitrove window")
        wait_for(lambda: self.window.get_attributes().map_state == 2, "the window to be viewable")
        origin = self.window.translate_coords(desktop.x.screen().root, 0, 0)
        self.left, self.top = -origin.x, -origin.y
        self.width = self.window.get_geometry().width
        time.sleep(0.5)  # let the first paint finish before the menus are used

    def named_window(self, title):
        for window in self.desktop.windows_of(self.process.pid):
            name = window.get_full_property(self.desktop.atom("_NET_WM_NAME"), 0)
            if name is not None and bytes(name.value).decode() == title:
                return window
        return None

    def open_words_menu(self):
        # "Words" is the first item of the menu bar, at the window's top-left corner.
        self.desktop.xdotool("mousemove", str(self.left + 15), str(self.top + 8))
        time.sleep(0.1)
        self.desktop.xdotool("click", "1")
        time.sleep(0.3)

    def move_pointer_away(self):
        self.desktop.xdotool("mousemove", "2", "2")
        time.sleep(0.2)

    def words(self, count):
        """Chooses "Words (0count)": the list opens with no item selected, Down selects "Words (01)"."""
        self.open_words_menu()
        self.desktop.xdotool("key", *["Down"] * count, "Return")
        self.move_pointer_away()

    def copy_text(self):
        """Chooses "Copy Text", two items to the right of "Words" on the menu bar."""
        self.open_words_menu()
        self.desktop.xdotool("key", "Right", "Right", "Return")
        self.move_pointer_away()

    def menu_bar(self):
        return self.desktop.snapshot(self.left, self.top, self.width, 16)

    def request_close(self):
        """What the close box does: the window manager is asked to close the window."""
        from Xlib import X
        from Xlib.protocol import event

        message = event.ClientMessage(window=self.window, client_type=self.desktop.atom("_NET_CLOSE_WINDOW"),
                                      data=(32, [0, 2, 0, 0, 0]))
        self.desktop.x.screen().root.send_event(message, event_mask=X.SubstructureRedirectMask
                                                | X.SubstructureNotifyMask)
        self.desktop.x.flush()

    def wait_end(self, timeout=60):
        return self.process.wait(timeout)

    def close(self):
        stop(self.process)
        shutil.rmtree(self.folder, ignore_errors=True)

    def check_phrase(self, text, count):
        words = text.split(" ")
        check(len(words) == count and all(word in self.vocabulary for word in words),
              f"not a phrase of {count} words from the list: {text!r}")


def phrase_on_clipboard(desktop, count, previous):
    def changed():
        text = desktop.clipboard()[0]
        return text if text and text != previous else None

    return wait_for(changed, f"a phrase of {count} words on the clipboard")


def command_copy_text_and_close(program_path, words_path):
    """A command, Copy Text after another program took the clipboard, then the window closed:
    with xfsettingsd running the phrase is still there once the program is gone."""
    with Desktop(manager=True) as desktop:
        other = desktop.take_clipboard("before the program")
        program = Program(desktop, program_path, words_path)
        try:
            check(desktop.clipboard()[0] == "before the program", "start-up changed the clipboard")
            program.words(3)
            phrase = phrase_on_clipboard(desktop, 3, "before the program")
            program.check_phrase(phrase, 3)
            check(other.wait(10) == 0, "the other program kept the clipboard")
            targets = desktop.clipboard_targets()
            check(targets <= PLAIN_TEXT_TARGETS and "UTF8_STRING" in targets, f"offered: {sorted(targets)}")
            check(desktop.owner("PRIMARY") == 0, "the phrase was put on the PRIMARY selection")

            at_rest = program.menu_bar()
            desktop.take_clipboard("from another program")
            program.copy_text()
            wait_for(lambda: program.menu_bar() != at_rest, '"Text Copied" on the menu bar', timeout=5)
            check(desktop.clipboard()[0] == phrase, "Copy Text did not put the phrase back")
            wait_for(lambda: program.menu_bar() == at_rest, '"Copy Text" back on the menu bar', timeout=10)

            program.request_close()
            check(program.wait_end() == 0, "closing the window did not end the program with status 0")
            check(desktop.clipboard() == (phrase, True), "the phrase did not outlive the program")
            # Served by the manager alone: without it nothing is left on the clipboard.
            desktop.stop_manager()
            wait_for(lambda: desktop.owner("CLIPBOARD") == 0, "the clipboard to be left without an owner", 5)
        finally:
            program.close()


def missing_list_during_command(program_path, words_path):
    """The list deleted, then "Words (01)": the message, then the end with status 1; what the
    program last put on the clipboard is still served by the manager afterwards."""
    with Desktop(manager=True) as desktop:
        program = Program(desktop, program_path, words_path)
        try:
            program.words(3)
            program.check_phrase(phrase_on_clipboard(desktop, 3, None), 3)
            main_window = program.window.id
            os.remove(os.path.join(program.folder, "Words.TxT"))
            program.words(1)
            box = wait_for(lambda: [w for w in desktop.windows_of(program.process.pid) if w.id != main_window],
                           "the message box")[0]
            time.sleep(0.3)
            check(program.process.poll() is None, "the program ended before its message was dismissed")
            last, served = desktop.clipboard()
            check(served, "nothing on the clipboard while the message shows")
            desktop.xdotool("windowactivate", "--sync", str(box.id))
            desktop.xdotool("key", "Return")
            check(program.wait_end() == 1, "the missing list did not end the program with status 1")
            check(desktop.clipboard() == (last, True), "the clipboard did not outlive the program")
        finally:
            program.close()


def without_manager(program_path, words_path):
    """No clipboard manager: the phrase lasts only while the program runs."""
    with Desktop(manager=False) as desktop:
        program = Program(desktop, program_path, words_path)
        try:
            program.words(2)
            program.check_phrase(phrase_on_clipboard(desktop, 2, None), 2)
            program.request_close()
            check(program.wait_end() == 0, "closing the window did not end the program with status 0")
            check(desktop.clipboard() == (None, False), "something still serves the clipboard")
        finally:
            program.close()


def main():
    if len(sys.argv) != 3:
        print("usage: clipboard_e2e.py PROGRAM WORD_LIST", file=sys.stderr)
        return 2
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    try:
        import Xlib.display  # noqa: F401  (python3-xlib)
    except ImportError:
        missing.append("python3-xlib")
    if missing:
        print("skipped, missing: " + ", ".join(missing))
        return SKIP
    for scenario in (command_copy_text_and_close, missing_list_during_command, without_manager):
        started = time.monotonic()
        scenario(*sys.argv[1:])
        print(f"ok: {scenario.__name__} ({time.monotonic() - started:.1f} s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
