# SPDX-License-Identifier: MIT
# One start of the program on the private desktop, worked by mouse and keyboard and read from outside.
"""Drives the real executable as a person would and reads what it shows.

Input goes only through xdotool: a click on a menu-bar caption, then Down and Return in the list
that opens. Results are read from outside the process: the clipboard with xclip, windows with
python3-xlib, exact captions and the phrase box through the accessibility bus, the picture with
ImageMagick's import.
"""
import collections
import itertools
import os
import shutil
import subprocess

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
from Xlib import X  # noqa: E402

from desktop import Mismatch, check, wait_for, wait_until  # noqa: E402

# A call that the program does not answer fails after 3 s instead of D-Bus's default 25 s.
Atspi.set_timeout(3000, 15000)
# Qt 6.4 tells the accessibility bus device-independent pixels, 96 to the inch, and shows them on
# the screen DPI/96 times as large.
ACCESSIBLE_DPI = 96

Box = collections.namedtuple("Box", "x y width height")  # in the screen's pixels, not rounded


def children(accessible):
    if accessible is None:
        return []
    try:
        return [accessible.get_child_at_index(i) for i in range(accessible.get_child_count())]
    except GLib.Error:
        return []


def name(accessible):
    try:
        return accessible.get_name()
    except GLib.Error:
        return None


# Debian 13's at-spi2-core (2.56) calls a push button "button", Debian 12's (2.46) "push button":
# one name for both.
ROLE_NAMES = {"button": "push button"}


def role(accessible):
    try:
        named = accessible.get_role_name()
    except GLib.Error:
        return None
    return ROLE_NAMES.get(named, named)


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
        """This process's viewable window titled title (other than other_than), once it comes."""
        return self.desktop.find_window(self.process, title, timeout, other_than)

    def wait_main_window(self, timeout=20):
        try:
            self.window = self.wait_window("Lexitrove", timeout)
        except Mismatch as failure:
            raise Mismatch("the main window after start-up", failure.expected,
                           "%s; its output %r" % (failure.seen, self.log())) from None
        self.menu_bar(timeout)
        return self.window

    # ---- the window's contents, through the accessibility bus -------------------------------

    def app(self):
        def lookup():
            for app in children(Atspi.get_desktop(0)):
                try:
                    if app.get_process_id() == self.process.pid:
                        return app
                except GLib.Error:
                    continue
            return None
        if self._app is None:
            self._app = wait_for("process %d on the accessibility bus" % self.process.pid, lookup, 15, interval=0.1)
        return self._app

    def _top_level_now(self, title, roles=("frame",)):
        return next((top for top in children(self.app()) if role(top) in roles and name(top) == title), None)

    def top_level(self, title, roles=("frame",), timeout=5):
        return wait_for("a %s titled %r on the accessibility bus" % (" or ".join(roles), title),
                        lambda: self._top_level_now(title, roles), timeout,
                        seen=lambda: [(role(top), name(top)) for top in children(self.app())])

    def menu_bar(self, timeout=5):
        def lookup():
            return next((child for child in children(self._top_level_now("Lexitrove")) if role(child) == "menu bar"),
                        None)
        return wait_for("the program's menu bar on the accessibility bus", lookup, timeout)

    def on_screen(self, accessible):
        """Where an accessible lies, as a Box in the screen's pixels."""
        box = accessible.get_extents(Atspi.CoordType.SCREEN)
        scale = self.desktop.dpi() / ACCESSIBLE_DPI
        return Box(box.x * scale, box.y * scale, box.width * scale, box.height * scale)

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
        """The client area below the menu bar, as a Box on the screen."""
        frame = self.top_level("Lexitrove")
        for child in children(frame):
            if role(child) == "filler":
                return self.on_screen(child)
        raise Mismatch("the window's client area", "a filler below the menu bar", [role(c) for c in children(frame)])

    def phrase_box(self):
        """The exact text of the phrase box."""
        frame = self.top_level("Lexitrove")
        for area in children(frame):
            for box in children(area):
                if name(box) == "Text1":
                    return Atspi.Text.get_text(box, 0, Atspi.Text.get_character_count(box))
        raise Mismatch("the phrase box", "a text box named Text1", "none")

    # ---- mouse and keyboard -----------------------------------------------------------------

    def click(self, accessible):
        box = self.on_screen(accessible)
        self.desktop.click(int(box.x + box.width / 2), int(box.y + box.height / 2))

    def choose(self, menu, downs, caption):
        """Clicks `menu` on the menu bar, presses Down `downs` times, checks that `caption` is
        highlighted and presses Return."""
        item = self.bar_item(menu)
        popup = children(item)[0]
        self.click(item)
        wait_for('the "%s" list open after a click on it' % menu, lambda: has_state(popup, Atspi.StateType.SHOWING), 5)
        self.check_end_separators(menu, popup)
        self.desktop.key(*["Down"] * downs)

        def highlighted():
            return next((name(entry) for entry in children(popup)
                         if has_state(entry, Atspi.StateType.FOCUSED)), None)
        wait_for('%r highlighted in the "%s" list after Down x%d' % (caption, menu, downs),
                 lambda: highlighted() == caption, 5, seen=highlighted)
        self.desktop.key("Return")
        wait_for('the "%s" list closed after Return' % menu, lambda: not has_state(popup, Atspi.StateType.SHOWING), 5)

    def check_end_separators(self, menu, popup):
        """The open list `popup` begins and ends with a separator drawn on the screen as a
        dividing line: a band of the list's width above its first command and below its last,
        where, going from the list's edge (and its frame, where the style draws one) towards
        the command, the background gives way to a line."""
        entries = children(popup)
        check('the roles of the first and last entries of the "%s" list' % menu, ["separator", "separator"],
              [role(entries[0]), role(entries[-1])] if entries else [])
        shot = self.desktop.screenshot()
        edge = self.on_screen(popup)
        for separator, neighbour, where in ((entries[0], entries[1], "first"), (entries[-1], entries[-2], "last")):
            box, beside = self.on_screen(separator), self.on_screen(neighbour)
            what = 'the %s separator of the "%s" list on the screen' % (where, menu)
            if where == "first":
                outside = box.y + box.height <= beside.y + 0.5
                rows = range(int(edge.y), int(beside.y))
            else:
                outside = beside.y + beside.height <= box.y + 0.5
                rows = range(int(edge.y + edge.height) - 1, int(beside.y + beside.height) - 1, -1)
            if box.height < 1 or box.width < beside.width / 2 or not outside:
                raise Mismatch(what, "a band %s %r" % ("above" if where == "first" else "below", name(neighbour)),
                               "%r, beside %r at %r" % (box, name(neighbour), beside))
            middle = box.x + box.width / 2
            background = shot.pixel(middle, beside.y + 1)
            column = [shot.pixel(middle, y) for y in rows]
            inner = list(itertools.dropwhile(lambda colour: colour != background, column))  # past the frame
            if not any(colour != background for colour in inner):
                raise Mismatch(what, "a line apart from the list's edge, on the background %r" % (background,),
                               "from the edge inwards: %r" % column)

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

    def record(self, what, until, timeout, seen=None):
        """Records until until() is true, and returns its value; raises Mismatch naming what it
        waited for (and what seen() gave last) after timeout seconds."""
        def drained():
            self._drain()
            return until()
        done = wait_for(what, drained, timeout, seen=seen, interval=0.005)
        self._drain()
        return done

    def close(self):
        self._listener.close()
