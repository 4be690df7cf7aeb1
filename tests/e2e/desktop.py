# SPDX-License-Identifier: MIT
# A private X desktop for the tests and measurements on a real window: Xvfb, openbox and, unless
# turned off, a D-Bus session with its accessibility bus.
"""Starts and ends everything a real window needs on a headless machine.

Every process is started in a session of its own and ended through its process group, by the
id this module got when it started it; the processes also die with the harness itself, should
it be killed outright.
"""
import ctypes
import importlib.util
import os
import select
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ATSPI_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SCREEN_TOOLS = ("Xvfb", "openbox")
DRIVING_TOOLS = ("xdotool", "xclip", "import", "convert")  # mouse, keyboard, clipboard, screenshots
SCREEN = (1920, 1080)
# The screen's dots per inch: 96 unless this variable names others, to see that the tests hold
# on any screen.
DPI_VARIABLE = "LEXITROVE_DESKTOP_DPI"
TWIPS_PER_INCH = 1440  # the unit of the program's own layout
CLIENT_AREA = (13500, 900)  # the program's client area below its menu bar, in twips
SKIP = 77  # what CTest is told to count as skipped
# The longest a program may take from its start to its first window. A warm start takes well
# under a second; this leaves room for a first start on a loaded two-core machine.
START_BOUND = 60

_PR_SET_PDEATHSIG = 1
_PR_SET_CHILD_SUBREAPER = 36
_libc = ctypes.CDLL(None, use_errno=True)


# Clipboard managers the tests know: how to start each, and whether it takes the clipboard over
# as a program hands it on at its end (True), or puts it back once its owner is gone (False).
# Debian 13 has no parcellite; diodon, which it names as the successor of ClipIt, is in both.
CLIPBOARD_MANAGERS = {
    "xfsettingsd": (["xfsettingsd", "--no-daemon", "--disable-wm-check"], True),
    "parcellite": (["parcellite", "-n"], False),
    "diodon": (["diodon"], False),
}


def missing_requirements(more_tools=(), accessibility=True, driving=True):
    """What this machine lacks for the desktop, as a list of names; empty when all is there.

    The screen, its window manager and python3-xlib always; the accessibility bus unless
    accessibility is False (as for Desktop); xdotool, xclip and ImageMagick unless driving is
    False; and more_tools."""
    tools = SCREEN_TOOLS + (DRIVING_TOOLS if driving else ()) + (("dbus-daemon",) if accessibility else ())
    missing = [tool for tool in tools + tuple(more_tools) if shutil.which(tool) is None]
    modules = [("Xlib", "python3-xlib")]
    if accessibility:
        if not os.access(ATSPI_LAUNCHER, os.X_OK):
            missing.append(ATSPI_LAUNCHER)
        modules.append(("gi", "python3-gi"))
    for module, package in modules:
        if importlib.util.find_spec(module) is None:
            missing.append(package)
    if accessibility and not missing:
        import gi
        try:
            gi.require_version("Atspi", "2.0")
        except ValueError:
            missing.append("gir1.2-atspi-2.0")
    return missing


class Mismatch(AssertionError):
    """What a test expected and what it saw instead: the one way every test on a real window fails."""

    def __init__(self, what, expected, seen):
        super().__init__("%s: expected %s, saw %s" % (what, expected, seen))
        self.what, self.expected, self.seen = what, expected, seen


def check(what, expected, seen):
    """Raises Mismatch unless seen equals expected."""
    if expected != seen:
        raise Mismatch(what, repr(expected), repr(seen))


def wait_for(what, condition, timeout, seen=None, interval=0.02):
    """Polls condition() until it returns something true, and returns that. At the timeout raises
    Mismatch naming what it waited for and what seen() (without one, the condition) gave last."""
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= end:
            raise Mismatch(what, "within %g s" % timeout, repr(seen() if seen else value))
        time.sleep(interval)


def wait_until(condition, timeout, interval=0.02):
    """For the harness's own waits whose end is no verdict: condition()'s first true value, or
    None at the timeout."""
    try:
        return wait_for("", condition, timeout, interval=interval)
    except Mismatch:
        return None


def process_state(process):
    """Whether the process still runs, or how it ended, in words."""
    status = process.poll()
    if status is None:
        return "the process is still running"
    if status < 0:
        return "the process was ended by signal %d" % -status
    return "the process ended with status %d" % status


def _die_with_parent():
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


# Kept informed of every process group started ("+pid", "-pid") and of the desktop's folder
# ("/path"), it kills the groups still there and removes the folder once the harness is gone,
# even by SIGKILL: the processes themselves die with the harness, but not what they started.
_WATCHDOG = """
import os, shutil, signal, sys
groups, folders = set(), []
for line in sys.stdin:
    line = line.rstrip("\\n")
    if line[0] == "/":
        folders.append(line)
    else:
        (groups.add if line[0] == "+" else groups.discard)(int(line[1:]))
for group in groups:
    try:
        os.killpg(group, signal.SIGKILL)
    except ProcessLookupError:
        pass
for folder in folders:
    shutil.rmtree(folder, ignore_errors=True)
"""


class Processes:
    """The processes one owner started; ends each through its own process group."""

    def __init__(self):
        self._started = []
        self._watchdog = None

    def _tell_watchdog(self, line):
        if self._watchdog is None:
            self._watchdog = subprocess.Popen([sys.executable, "-c", _WATCHDOG], stdin=subprocess.PIPE,
                                              start_new_session=True, text=True)
        self._watchdog.stdin.write(line + "\n")
        self._watchdog.stdin.flush()

    def remove_at_end(self, folder):
        """Has the folder removed once every process here has ended, however the harness ends."""
        self._tell_watchdog(os.path.abspath(folder))

    def spawn(self, argv, env, **options):
        process = subprocess.Popen(argv, env=env, start_new_session=True, preexec_fn=_die_with_parent,
                                   **options)
        self._started.append(process)
        self._tell_watchdog("+%d" % process.pid)
        return process

    def end(self, process, grace=2.0):
        """SIGTERM to the process's group, SIGKILL after the grace time; returns the exit status."""
        for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5.0)):
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                pass
            try:
                process.wait(wait)
                break
            except subprocess.TimeoutExpired:
                continue
        # Helpers of the process (the accessibility bus daemon) may outlive its leader.
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        if process in self._started:
            self._started.remove(process)
            self._tell_watchdog("-%d" % process.pid)
        return process.returncode

    def end_all(self):
        for process in reversed(list(self._started)):
            self.end(process)
        if self._watchdog is not None:
            self._watchdog.stdin.close()
            self._watchdog.wait(10)
            self._watchdog = None
        # Services that a bus started and that outlived it were handed to this process (see
        # Desktop); they are dead by now, killed with their group, and only wait to be reaped.
        while True:
            try:
                pid, _ = os.waitpid(-1, os.WNOHANG)
            except ChildProcessError:
                break
            if pid == 0:
                break


class Session:
    """What every private desktop of the tests starts with, an X screen here and a Wayland
    compositor in tests/wayland: a scratch folder for its logs and private XDG folders, removed
    when the session ends; an environment without the caller's own display, bus and session; a
    D-Bus session bus where it wants one; processes started as the session's user (AS_USER) with
    their output in the folder's logs; and an end that stops them all, also when the start fails.

    workdir None makes a fresh folder named after PREFIX."""

    PREFIX = "lexitrove-session-"
    AS_USER = []  # the prefix that runs a command as the session's user: none, the caller
    CLEARED = ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XAUTHORITY", "QT_QPA_PLATFORM", "SWAYSOCK",
               "AT_SPI_BUS_ADDRESS", "SESSION_MANAGER")

    def __init__(self, workdir=None):
        self.processes = Processes()
        self.workdir = workdir
        self.env = None

    def __enter__(self):
        try:
            self._start()
        except BaseException as error:
            self.stop()
            failure = self._start_failure(error)
            if failure is error:
                raise
            raise failure from error
        return self

    def __exit__(self, *exc):
        self.stop()

    def _start(self):
        raise NotImplementedError

    def _start_failure(self, error):
        """What a start that failed with error raises: error itself, unless a kind of session says otherwise."""
        return error

    def stop(self):
        self.processes.end_all()

    def _prepare(self, uid=None):
        """Makes the folder, with runtime and config folders that belong to uid (None: the
        caller), and the environment."""
        if self.workdir is None:
            self.workdir = tempfile.mkdtemp(prefix=self.PREFIX)
        self.processes.remove_at_end(self.workdir)
        if uid is not None:
            os.chmod(self.workdir, 0o755)
        for sub in ("runtime", "config"):
            folder = os.path.join(self.workdir, sub)
            os.makedirs(folder, mode=0o700, exist_ok=True)
            if uid is not None:
                os.chown(folder, uid, uid)
        self.env = {key: value for key, value in os.environ.items() if key not in self.CLEARED}
        self.env.update(XDG_RUNTIME_DIR=os.path.join(self.workdir, "runtime"),
                        XDG_CONFIG_HOME=os.path.join(self.workdir, "config"), LANG="C.UTF-8", LC_ALL="C.UTF-8")

    def _start_session_bus(self):
        with self.log("dbus-daemon") as log:
            bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--nosyslog", "--print-address=1"],
                             stdout=subprocess.PIPE, stderr=log)
        if not select.select([bus.stdout], [], [], 15)[0]:
            raise RuntimeError("dbus-daemon gave no address within 15 s")
        address = bus.stdout.readline().decode().strip()
        if not address:
            raise RuntimeError("dbus-daemon ended without an address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def log(self, name):
        """The log NAME.log in the folder, opened for appending."""
        return open(os.path.join(self.workdir, name + ".log"), "ab")

    def read_log(self, name):
        try:
            with open(os.path.join(self.workdir, name + ".log"), errors="replace") as log:
                return log.read()
        except OSError:
            return ""

    def spawn(self, argv, env=None, **options):
        """Starts argv as the session's user, in the session's environment unless env is given;
        without stdout in options, its output goes to the log named after the program."""
        if "stdout" in options:
            options.setdefault("stderr", subprocess.STDOUT)
            return self.processes.spawn(self.AS_USER + argv, env or self.env, **options)
        with self.log(os.path.basename(argv[0])) as log:
            return self.processes.spawn(self.AS_USER + argv, env or self.env, stdout=log, stderr=log, **options)


class Desktop(Session):
    """One virtual screen with a window manager and, unless accessibility is False, a D-Bus
    session with its accessibility bus. Without them a program is watched through X alone. The
    screen has 96 dots per inch unless dpi or $LEXITROVE_DESKTOP_DPI give others.

    The cache folder stays the user's own, so the font cache built once (tests/e2e/warm_up.py)
    serves every desktop. One with an accessibility bus per process: the accessibility library
    binds to the first bus it meets for good."""

    PREFIX = "lexitrove-desktop-"
    _started_accessible = False

    def __init__(self, workdir=None, accessibility=True, dpi=None):
        super().__init__(workdir)
        # Orphans of the processes started here (a bus's services) come back to this process
        # rather than to init, so they are reaped when the desktop ends.
        _libc.prctl(_PR_SET_CHILD_SUBREAPER, 1)
        self.accessibility = accessibility
        self.screen_dpi = dpi or int(os.environ.get(DPI_VARIABLE) or 96)
        self.x = None

    def _start(self):
        if self.accessibility:
            if Desktop._started_accessible:
                raise RuntimeError("a second Desktop in one process would read the first one's accessibility bus")
            Desktop._started_accessible = True
        self._prepare()
        env = self.env
        env["QT_QPA_PLATFORM"] = "xcb"
        if self.accessibility:
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        else:
            # With no bus named, the program's D-Bus library has dbus-launch start one for the display.
            # dbus-launch, which ends that bus with the display, dies with the program's process group
            # and leaves the bus running for good.
            env["DBUS_SESSION_BUS_ADDRESS"] = "disabled:"
        env["DISPLAY"] = ":%d" % self._start_xvfb()
        from Xlib import display as xdisplay
        self.x = xdisplay.Display(env["DISPLAY"])
        # Toolkits take the DPI from the Xft.dpi resource, which a desktop session puts there
        # (Qt 6.4 leaves the screen's size in millimetres aside and takes 96 without one).
        root = self.x.screen().root
        root.change_property(self.x.intern_atom("RESOURCE_MANAGER"), self.x.intern_atom("STRING"), 8,
                             b"Xft.dpi:\t%d\n" % self.screen_dpi)
        self.x.sync()
        # openbox claims the screen before it loads its theme and fonts, which on a fresh machine
        # means scanning a font folder whose cache is out of date; a window mapped meanwhile was
        # never managed. Its start-up command runs once it is ready to manage windows.
        ready = os.path.join(self.workdir, "openbox-ready")
        self.spawn(["openbox", "--sm-disable", "--startup", "touch " + shlex.quote(ready)])
        wait_for("openbox ready to manage windows", lambda: os.path.exists(ready), 30)
        if self.accessibility:
            self._start_accessibility_bus()

    def _start_accessibility_bus(self):
        self._start_session_bus()
        self.spawn([ATSPI_LAUNCHER, "--launch-immediately"])
        wait_for("the accessibility bus on the screen", lambda: self._property(self.x.screen().root, "AT_SPI_BUS"), 15)
        # The accessibility library of this process finds the bus through these.
        os.environ.update(DISPLAY=self.env["DISPLAY"],
                          DBUS_SESSION_BUS_ADDRESS=self.env["DBUS_SESSION_BUS_ADDRESS"])

    def _start_xvfb(self):
        # -displayfd lets the server pick a free display itself, so parallel suites never collide.
        read_end, write_end = os.pipe()
        try:
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN, "-dpi",
                        str(self.screen_dpi), "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
            os.close(write_end)
            write_end = None
            number = b""
            while not number.endswith(b"\n"):
                if not select.select([read_end], [], [], 15)[0]:
                    raise RuntimeError("Xvfb named no display within 15 s")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError("Xvfb ended before it named its display")
                number += chunk
            return int(number)
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)

    def run(self, argv, input=None, timeout=15):
        """Runs a desktop tool to its end; returns the CompletedProcess (stdout and stderr as bytes)."""
        return subprocess.run(argv, env=self.env, input=input, capture_output=True, timeout=timeout)

    def dpi(self):
        """The screen's dots per inch as Qt reads them on X11: the Xft.dpi resource, 96 without
        one. (A settings daemon's Xft/DPI would come first; xfsettingsd as started here gives none.)"""
        resources = self._property(self.x.screen().root, "RESOURCE_MANAGER") or b""
        for line in resources.split(b"\n"):
            if line.startswith(b"Xft.dpi:\t"):
                return round(float(line.split(b"\t", 1)[1]))
        return 96

    def pixels(self, twips):
        """A length of the program's layout, given in twips, in the screen's pixels (not rounded)."""
        return twips * self.dpi() / TWIPS_PER_INCH

    # ---- windows ------------------------------------------------------------------------------

    def _property(self, window, name, kind=0):
        from Xlib import error
        try:
            value = window.get_full_property(self.x.intern_atom(name), kind)
        except error.XError:
            return None
        return value.value if value is not None else None

    def managed_windows(self):
        """The windows the window manager manages now, from its _NET_CLIENT_LIST."""
        ids = self._property(self.x.screen().root, "_NET_CLIENT_LIST") or []
        return [self.x.create_resource_object("window", wid) for wid in ids]

    def window_pid(self, window):
        pid = self._property(window, "_NET_WM_PID")
        return int(pid[0]) if pid else None

    def window_title(self, window):
        title = self._property(window, "_NET_WM_NAME", self.x.intern_atom("UTF8_STRING"))
        if title is None:
            title = self._property(window, "WM_NAME")
        if isinstance(title, bytes):
            title = title.decode("utf-8", "replace")
        return title

    def viewable(self, window):
        from Xlib import X, error
        try:
            return window.get_attributes().map_state == X.IsViewable
        except error.XError:
            return False

    def frame(self, window):
        """The top-level window that holds `window`: the window manager's frame around it."""
        root = self.x.screen().root
        while True:
            parent = window.query_tree().parent
            if parent.id == root.id:
                return window
            window = parent

    def root_geometry(self, window):
        """(x, y, width, height) of the window's inside, in screen pixels."""
        geometry = window.get_geometry()
        origin = window.translate_coords(self.x.screen().root, 0, 0)
        return (-origin.x, -origin.y, geometry.width, geometry.height)

    def gone(self, window):
        """True once the window manager no longer manages the window: the round trip that keeps
        a closed window's leftover requests away from the next program's window."""
        self.x.sync()
        return window.id not in [w.id for w in self.managed_windows()]

    def find_window(self, process, title, timeout=START_BOUND, other_than=None):
        """The viewable top-level window titled title of process (as spawned), other than
        other_than, once the window manager lists it; raises Mismatch saying what was on the
        screen when none comes within timeout seconds or the process ends first."""
        what = "a window %r of process %d" % (title, process.pid)

        def seen():
            return "none, %s; windows on the screen: %r" % (process_state(process),
                                                            [self.window_title(w) for w in self.managed_windows()])

        def found():
            for window in self.managed_windows():
                if (self.window_pid(window) == process.pid and window != other_than
                        and self.window_title(window) == title and self.viewable(window)):
                    return window
            if process.poll() is not None:
                raise Mismatch(what, "one", seen())
            return None
        return wait_for(what, found, timeout, seen=seen)

    def icon_sizes(self, window):
        """The sizes of the pictures in the window's _NET_WM_ICON: a list of (width, height)."""
        data = list(self._property(window, "_NET_WM_ICON") or [])
        sizes = []
        while len(data) >= 2:
            width, height = data[0], data[1]
            sizes.append((width, height))
            data = data[2 + width * height:]
        return sizes

    def _ask_window_manager(self, window, message, data):
        from Xlib import X
        from Xlib.protocol import event
        request = event.ClientMessage(window=window, client_type=self.x.intern_atom(message),
                                      data=(32, (list(data) + [0] * 5)[:5]))
        self.x.screen().root.send_event(request, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        self.x.flush()

    def request_close(self, window):
        """Asks the window manager to close the window, as a task bar or the close box does."""
        self._ask_window_manager(window, "_NET_CLOSE_WINDOW", [0, 2])

    def selection_owner(self, selection):
        """The window that owns an X selection (CLIPBOARD, PRIMARY, CLIPBOARD_MANAGER), 0 for none."""
        owner = self.x.get_selection_owner(self.x.intern_atom(selection))
        return owner if isinstance(owner, int) else owner.id

    # ---- mouse, keyboard, clipboard, screen ---------------------------------------------------

    def pointer(self):
        position = self.x.screen().root.query_pointer()
        return (position.root_x, position.root_y)

    def click(self, x, y):
        # `mousemove --sync` hangs when the pointer is already there: move, then check.
        self.run(["xdotool", "mousemove", str(x), str(y)])
        wait_for("the pointer at %d,%d" % (x, y), lambda: self.pointer() == (x, y), 5, seen=self.pointer)
        self.run(["xdotool", "click", "1"])

    def click_in(self, window, x, y):
        """A click of the left button at x, y in the window's own coordinates, sent to the
        window itself: it reaches the program wherever the window is, also while it moves, and
        the window manager takes no part in it."""
        from Xlib import X
        from Xlib.protocol import event
        root = self.x.screen().root
        origin = window.translate_coords(root, 0, 0)
        for kind, state in ((event.ButtonPress, 0), (event.ButtonRelease, X.Button1Mask)):
            click = kind(time=X.CurrentTime, root=root, window=window, child=X.NONE, root_x=x - origin.x,
                         root_y=y - origin.y, event_x=x, event_y=y, state=state, detail=1, same_screen=1)
            window.send_event(click, event_mask=0)
        self.x.sync()

    def key(self, *keys):
        self.run(["xdotool", "key", "--delay", "40"] + list(keys))

    def clipboard(self):
        """The clipboard's text, or None when nobody offers one."""
        result = self.run(["xclip", "-o", "-selection", "clipboard"], timeout=10)
        return result.stdout.decode("utf-8") if result.returncode == 0 else None

    def take_clipboard(self, text):
        """Puts text on the clipboard as another program does; returns that program's process,
        which ends by itself once something else takes the clipboard."""
        owner = self.processes.spawn(["xclip", "-quiet", "-i", "-selection", "clipboard"], self.env,
                                     stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        owner.stdin.write(text.encode("utf-8"))
        owner.stdin.close()
        wait_for("xclip holding the clipboard", lambda: self.clipboard() == text, 10, seen=self.clipboard)
        return owner

    def clipboard_targets(self):
        """The formats the clipboard's owner offers."""
        result = self.run(["xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"], timeout=10)
        return set(result.stdout.decode().split())

    def start_clipboard_manager(self, name="xfsettingsd"):
        """Starts a clipboard manager that keeps the clipboard of a program that ends; returns its
        process. xfsettingsd takes the clipboard over when the program hands it on as it ends
        (it holds CLIPBOARD_MANAGER); the others copy the clipboard while the program runs and
        put it back once it is empty."""
        argv, hand_off = CLIPBOARD_MANAGERS[name]
        manager = self.spawn(argv)
        if hand_off:
            wait_for(name + " holding CLIPBOARD_MANAGER", lambda: self.selection_owner("CLIPBOARD_MANAGER"), 20)
            return manager
        # These claim nothing and take a few seconds to start: one is ready once it puts back a
        # clipboard that was left empty.
        end = time.monotonic() + 30
        while time.monotonic() < end:
            probe = self.take_clipboard("before " + name)
            time.sleep(0.3)
            self.processes.end(probe)
            if wait_until(lambda: self.clipboard() == "before " + name, 2):
                return manager
            if manager.poll() is not None:
                break
        state = "it ended with status %d" % manager.returncode if manager.poll() is not None else "still running"
        self.processes.end(manager)
        raise RuntimeError("%s did not put back an emptied clipboard within 30 s (%s)" % (name, state))

    def screenshot(self):
        """The whole screen as it is now."""
        result = self.run(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"], timeout=30)
        if result.returncode != 0:
            raise RuntimeError("import failed: %s" % result.stderr.decode(errors="replace"))
        return Screenshot(result.stdout)

    def stop(self):
        if self.x is not None:
            try:
                self.x.close()
            except Exception:
                pass
            self.x = None
        super().stop()


class Screenshot:
    """A picture of the screen (from ImageMagick's import, as binary PPM) with its pixels at hand."""

    def __init__(self, ppm):
        self.ppm = ppm
        fields, offset = [], 0
        while len(fields) < 4:  # magic, width, height, maximum value, with comments between
            while ppm[offset:offset + 1].isspace():
                offset += 1
            if ppm[offset:offset + 1] == b"#":
                offset = ppm.index(b"\n", offset)
                continue
            end = offset
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[offset:end])
            offset = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError("not an 8-bit binary PPM: %r" % fields)
        self.width, self.height = int(fields[1]), int(fields[2])
        self._pixels = ppm[offset + 1:]

    def pixel(self, x, y):
        """The colour of the pixel that holds the point x, y (which need not be whole numbers)."""
        start = (int(y) * self.width + int(x)) * 3
        return tuple(self._pixels[start:start + 3])

    def save(self, path, crop=None):
        """Writes the picture (or the part crop = (x, y, width, height) of it) as PNG."""
        argv = ["convert", "ppm:-"]
        if crop:
            argv += ["-crop", "%dx%d+%d+%d" % (crop[2], crop[3], crop[0], crop[1]), "+repage"]
        subprocess.run(argv + ["png:" + path], input=self.ppm, check=True, timeout=30)
