# SPDX-License-Identifier: MIT
# One start of the program on the private desktop, worked by mouse and keyboard and read from outside.
"""Drives the real executable as a person would and reads what it shows.

Input goes only through xdotool: a click on a menu-bar caption, then Down and Return in the list
that opens. Results are read from outside the process: the clipboard with xclip, windows with
python3-xlib, exact captions and the phrase box through the accessibility bus, the picture with
ImageMagick's import.
"""
import os
import shutil
import subprocess
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
from Xlib import X  # noqa: E402

from desktop import describe_end, wait_until  # noqa: E402

# A call that the program does not answer fails after 3 s instead of D-Bus's default 25 s.
Atspi.set_timeout(3000, 15000)


class Mismatch(Exception):
    """What a case expected and what it saw instead."""

    def __init__(self, what, expected, seen):
        super().__init__("%s: expected %s, saw %s" % (what, expected, seen))
        self.what, self.expected, self.seen = what, expected, seen


def check(what, expected, seen):
    if expected != seen:
        raise Mismatch(what, repr(expected), repr(seen))


def children(accessible):
    try:
        return [accessible.get_child_at_index(i) for i in range(accessible.get_child_count())]
    except GLib.Error:
        return []


def name(accessible):
    try:
        return accessible.get_name()
    except GLib.Error:
        return None


def role(accessible):
    try:
        return accessible.get_role_name()
    except GLib.Error:
        return None


def has_state(accessible, state):
    if accessible is None:
        return False
    try:
        return accessible.get_state_set().contains(state)
    except GLib.Error:
        return False


class Program:
    """The executable copied into a folder of its own beside a crafted Words.TxT (or none)."""

    def __init__(self, desktop, executable, folder, words):
        self.desktop = desktop
        self.folder = folder
        os.makedirs(folder)
        self.path = os.path.join(folder, "lexitrove")
        shutil.copy2(executable, self.path)
        if words is not None:
            with open(os.path.join(folder, "Words.TxT"), "wb") as out:
                out.write(words)
        self.process = None
        self.window = None
        self._app = None

    def start(self):
        with open(os.path.join(self.folder, "program.log"), "ab") as log:
            self.process = self.desktop.processes.spawn([self.path], self.desktop.env, cwd=self.folder,
                                                        stdout=log, stderr=log)

    def log(self):
        with open(os.path.join(self.folder, "program.log"), "rb") as log:
            return log.read().decode(errors="replace")

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout):
        """The exit status, or None if the process still runs after timeout seconds."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def end(self):
        if self.process is not None:
            self.desktop.processes.end(self.process)

    # ---- windows, as the window manager lists them -------------------------------------------

    def windows(self):
        """This process's managed top-level windows: a list of (window, title)."""
        found = []
        for window in self.desktop.managed_windows():
            if self.desktop.window_pid(window) == self.process.pid:
                found.append((window, self.desktop.window_title(window)))
        return found

    def wait_window(self, title, timeout=20, other_than=None):
        def match():
            for window, window_title in self.windows():
                if window_title == title and window != other_than and self.desktop.viewable(window):
                    return window
            return None
        return wait_until(match, timeout)

    def wait_main_window(self, timeout=20):
        found = wait_until(lambda: self.wait_window("Lexitrove", 0) or not self.running(), timeout)
        self.window = self.wait_window("Lexitrove", 0) if found else None
        if self.window is None:
            raise Mismatch("the main window after start-up", 'a window titled "Lexitrove" within %d s' % timeout,
                           "none %s; its windows %r, its output %r"
                           % (describe_end(self.process, timeout), self.windows(), self.log()))
        if self.menu_bar(timeout=timeout) is None:
            raise Mismatch("the accessibility bus", "the program's menu bar on it", "nothing")
        return self.window

    # ---- the window's contents, through the accessibility bus -------------------------------

    def app(self, timeout=15):
        def lookup():
            desktop = Atspi.get_desktop(0)
            for app in children(desktop):
                try:
                    if app.get_process_id() == self.process.pid:
                        return app
                except GLib.Error:
                    continue
            return None
        if self._app is None:
            self._app = wait_until(lookup, timeout, interval=0.1)
        return self._app

    def top_level(self, title, roles=("frame",), timeout=5):
        def lookup():
            app = self.app()
            for top in children(app) if app else []:
                if role(top) in roles and name(top) == title:
                    return top
            return None
        return wait_until(lookup, timeout)

    def menu_bar(self, timeout=5):
        def lookup():
            frame = self.top_level("Lexitrove", timeout=0)
            for child in children(frame) if frame else []:
                if role(child) == "menu bar":
                    return child
            return None
        return wait_until(lookup, timeout)

    def bar_captions(self):
        return [name(item) for item in children(self.menu_bar())]

    def bar_item(self, caption, required=True):
        for item in children(self.menu_bar()):
            if name(item) == caption:
                return item
        if not required:
            return None
        raise Mismatch("the menu bar", "an item %r" % caption, self.bar_captions())

    def counter(self):
        return self.bar_captions()[-1]

    def client_area(self):
        frame = self.top_level("Lexitrove")
        for child in children(frame):
            if role(child) == "filler":
                return child.get_extents(Atspi.CoordType.SCREEN)
        raise Mismatch("the window's client area", "a filler below the menu bar", [role(c) for c in children(frame)])

    def phrase_box(self):
        """The exact text of the phrase box."""
        frame = self.top_level("Lexitrove")
        for area in children(frame):
            for box in children(area):
                if name(box) == "Text1":
                    return Atspi.Text.get_text(box, 0, Atspi.Text.get_character_count(box))
        raise Mismatch("the phrase box", "a text box named Text1", "none")

    def wait_phrase(self, expected, what, timeout=10):
        if wait_until(lambda: self.phrase_box() == expected, timeout) is None:
            raise Mismatch(what, repr(expected), repr(self.phrase_box()))

    # ---- mouse and keyboard -----------------------------------------------------------------

    def click(self, accessible):
        box = accessible.get_extents(Atspi.CoordType.SCREEN)
        self.desktop.click(box.x + box.width // 2, box.y + box.height // 2)

    def choose(self, menu, downs, caption):
        """Clicks `menu` on the menu bar, presses Down `downs` times, checks that `caption` is
        highlighted and presses Return."""
        item = self.bar_item(menu)
        popup = children(item)[0]
        self.click(item)
        if not wait_until(lambda: has_state(popup, Atspi.StateType.SHOWING), 5):
            raise Mismatch('the "%s" list after a click on it' % menu, "open", "closed")
        self.desktop.key(*["Down"] * downs)

        def highlighted():
            return next((name(entry) for entry in children(popup)
                         if has_state(entry, Atspi.StateType.FOCUSED)), None)
        if wait_until(lambda: highlighted() == caption, 5) is None:
            raise Mismatch('the highlighted entry of "%s" after Down x%d' % (menu, downs), repr(caption),
                           repr(highlighted()))
        self.desktop.key("Return")
        if not wait_until(lambda: not has_state(popup, Atspi.StateType.SHOWING), 5):
            raise Mismatch('the "%s" list after Return' % menu, "closed", "still open")

    def close_box(self):
        """Where the close box of the window manager's frame is: the rightmost square button
        on the frame's title bar."""
        frame = self.desktop.frame(self.window)
        fx, fy, fw, _ = self.desktop.root_geometry(frame)
        buttons = []
        for bar in frame.query_tree().children:
            bx, by, bw, bh = self.desktop.root_geometry(bar)
            if not self.desktop.viewable(bar) or by != fy + 1 or bw < fw // 2 or not 10 <= bh <= 40:
                continue
            for button in bar.query_tree().children:
                x, y, w, h = self.desktop.root_geometry(button)
                if self.desktop.viewable(button) and w == h and 8 <= w <= 32:
                    buttons.append((x + w // 2, y + h // 2))
        if not buttons:
            raise Mismatch("the window's frame", "a close box on its title bar", "no square buttons")
        return max(buttons)

    def screenshot(self):
        return self.desktop.screenshot()


class Fixture:
    """What one case works with: the desktop, and a fresh folder for each start of the program.
    clean_up() ends everything the case started: programs, clipboard owners, clipboard manager."""

    def __init__(self, desktop, executable, folder):
        self.desktop = desktop
        self.executable = executable
        self.folder = folder
        self.programs = []
        self.helpers = []

    def start(self, words, main_window=True):
        """Starts the program beside a Words.TxT of exactly these bytes (none for None)."""
        program = Program(self.desktop, self.executable, os.path.join(self.folder, "run%d" % len(self.programs)),
                          words)
        self.programs.append(program)
        program.start()
        if main_window:
            program.wait_main_window()
        return program

    def take_clipboard(self, text):
        owner = self.desktop.take_clipboard(text)
        self.helpers.append(owner)
        return owner

    def start_clipboard_manager(self, name="xfsettingsd"):
        manager = self.desktop.start_clipboard_manager(name)
        self.helpers.append(manager)
        return manager

    def clean_up(self):
        for program in self.programs:
            windows = [window for window, _ in program.windows()] if program.running() else []
            if program.window is not None:
                windows.append(program.window)
            program.end()
            wait_until(lambda: all(self.desktop.gone(window) for window in windows), 10)
        for helper in self.helpers:
            self.desktop.processes.end(helper)


class GeometryRecorder:
    """Every position and size a window manager's frame takes while it holds its client, in
    root coordinates: a list of (x, y, w, h); and every other window mapped on the screen
    meanwhile (a menu, a message box), in `mapped`.

    Listens on a second X connection, so no ConfigureNotify is missed between two polls. Stops
    at the client's unmapping: what the window manager does with the empty frame afterwards is
    not the program's doing. The window manager may still be carrying out moves the program
    asked for earlier: `last_frame` follows the frame until the window manager takes it away
    (`frame_gone`)."""

    def __init__(self, desktop, frame, client):
        from Xlib import display as xdisplay
        self._listener = xdisplay.Display(desktop.env["DISPLAY"])
        self._frame = self._listener.create_resource_object("window", frame.id)
        self._client = self._listener.create_resource_object("window", client.id)
        for window in (self._frame, self._client):
            window.change_attributes(event_mask=X.StructureNotifyMask)
        self._listener.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self._listener.sync()
        self.moves = [desktop.root_geometry(frame)]
        self.last_frame = self.moves[0]
        self.mapped = []
        self.client_gone = False
        self.frame_gone = False

    def _drain(self):
        while self._listener.pending_events():
            event = self._listener.next_event()
            if event.type in (X.UnmapNotify, X.DestroyNotify) and event.window.id == self._client.id:
                self.client_gone = True
            elif event.type in (X.UnmapNotify, X.DestroyNotify) and event.window.id == self._frame.id:
                self.frame_gone = True
            elif event.type == X.ConfigureNotify and event.window.id == self._frame.id and not self.frame_gone:
                self.last_frame = (event.x, event.y, event.width, event.height)
                if not self.client_gone:
                    self.moves.append(self.last_frame)
            elif event.type == X.MapNotify and event.window.id != self._frame.id and not self.client_gone:
                self.mapped.append(event.window.id)

    def record(self, until, timeout):
        """Records until until() is true or the timeout has passed; returns until()'s last value."""
        end = time.monotonic() + timeout
        done = until()
        while not done and time.monotonic() < end:
            self._drain()
            time.sleep(0.005)
            done = until()
        self._drain()
        return done

    def close(self):
        self._listener.close()
