# SPDX-License-Identifier: MIT
# Real Wayland compositors started headless for the tests: sway (wlroots) and GNOME's mutter,
# each with its own runtime folder and session bus, driven by real keys and read from outside.
"""A compositor session per class, started as every desktop of the tests is (desktop.Session)."""
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "e2e"))

from desktop import Session, wait_until  # noqa: E402

NOBODY = 65534  # sway refuses root: it and the programs in it run as this user
START_BOUND = 60  # from the compositor's start to its socket, on a loaded machine


class CannotStart(Exception):
    """The compositor or a tool it needs is missing or did not start: the test is skipped."""


class Compositor(Session):
    """What both compositors add to a session: their tools, a home in the session's folder, a
    session bus, and programs started in the session with its environment or its Xwayland's."""

    PREFIX = "lexitrove-wayland-"
    TOOLS = ()

    def __init__(self):
        super().__init__()
        self.x_env = {}

    def _start_failure(self, error):
        # A compositor of another version that fails its start is skipped with the reason.
        if isinstance(error, Exception) and not isinstance(error, CannotStart):
            return CannotStart("%s did not start: %s" % (type(self).__name__, error))
        return error

    def _start(self):
        missing = [tool for tool in self.TOOLS if shutil.which(tool) is None]
        if missing:
            raise CannotStart("missing: " + ", ".join(missing))
        self._start_compositor()

    def _prepare_compositor(self, uid):
        """The session's folder and environment for uid, its home there, and its bus."""
        self._prepare(uid)
        self.env["HOME"] = self.workdir
        self._start_session_bus()

    def run(self, argv, timeout=15, env=None):
        """Runs a tool of the session to its end; its output as text ('' when it failed)."""
        try:
            done = subprocess.run(self.AS_USER + argv, env=env or self.env, capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            return ""
        return done.stdout.decode("utf-8", "replace") if done.returncode == 0 else ""

    def install(self, program, word_list):
        """Copies the program and its word list where the session's user can run them; returns
        the copy's path."""
        folder = os.path.join(self.workdir, "app")
        os.mkdir(folder)
        shutil.copy(program, folder)
        shutil.copy(word_list, os.path.join(folder, "Words.TxT"))
        for name in os.listdir(folder):
            os.chmod(os.path.join(folder, name), 0o755)
        return os.path.join(folder, os.path.basename(program))

    def start_program(self, path, plugin):
        """Starts the program with Qt's wayland or xcb plugin."""
        env = dict(self.env if plugin != "xcb" else self.x_env, QT_QPA_PLATFORM=plugin)
        if plugin != "xcb":
            # Under AddressSanitizer (CI): Qt's Wayland plugin never destroys its Wayland proxies,
            # nor the clipboard's data that one of them holds at exit. The program's own leaks are
            # checked by every other test, on the offscreen platform and on X11.
            env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
        if plugin == "xcb":
            # Xwayland as a GNOME session without qt6-wayland shows it; WAYLAND_DISPLAY may or
            # may not reach a program, so it is left out.
            env.pop("WAYLAND_DISPLAY", None)
            if "DISPLAY" not in env:
                raise CannotStart("the compositor started no Xwayland")
        return self.spawn([path], env=env)

    def _wait_socket(self, name):
        socket = os.path.join(self.env["XDG_RUNTIME_DIR"], name)
        if not wait_until(lambda: os.path.exists(socket) or self.compositor.poll() is not None, START_BOUND,
                          interval=0.1):
            raise CannotStart("no Wayland socket %s within %d s" % (name, START_BOUND))
        if not os.path.exists(socket):
            last = self.read_log(os.path.basename(self.compositor.args[len(self.AS_USER)])).strip().splitlines()
            raise CannotStart("the compositor ended with status %s: %s"
                              % (self.compositor.returncode, last[-1] if last else "(no output)"))
        self.env["WAYLAND_DISPLAY"] = name


class Sway(Compositor):
    TOOLS = ("sway", "swaymsg", "wtype", "wl-paste", "setpriv", "dbus-daemon")
    AS_USER = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"]

    def _start_compositor(self):
        # wlroots shares its buffers and keymaps through /dev/shm: where its user may not write
        # there (a chroot that bound /dev without its tmpfs), sway draws nothing and takes no keys.
        shm = os.stat("/dev/shm") if os.path.isdir("/dev/shm") else None
        if not shm or shm.st_mode & 0o1777 != 0o1777:
            raise CannotStart("/dev/shm is not a folder every user may write to, as sway's user must")
        self._prepare_compositor(NOBODY)
        config = os.path.join(self.workdir, "sway.conf")
        with open(config, "w") as out:
            out.write("output HEADLESS-1 resolution 1920x1080\nxwayland enable\ndefault_border normal\n")
        self.env.update(WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman")
        self.compositor = self.spawn(["sway", "-c", config])
        self._wait_socket("wayland-1")
        socket = wait_until(lambda: [n for n in os.listdir(self.env["XDG_RUNTIME_DIR"]) if n.startswith("sway-ipc")],
                            START_BOUND)
        if not socket:
            raise CannotStart("sway made no IPC socket within %d s" % START_BOUND)
        self.env["SWAYSOCK"] = os.path.join(self.env["XDG_RUNTIME_DIR"], socket[0])
        # Its Xwayland, for the X clients: the display sway gives the programs it starts.
        display = os.path.join(self.env["XDG_RUNTIME_DIR"], "display")
        self.run(["swaymsg", "exec", "echo $DISPLAY > " + display])
        if wait_until(lambda: os.path.exists(display) and open(display).read().strip(), 15):
            self.x_env = dict(self.env, DISPLAY=open(display).read().strip())

    def keys(self, *keys):
        """Real key presses, each tapped, e.g. keys("Alt_L", "Down", "Return")."""
        # A new virtual keyboard's first moments are lost to its keymap: wait before the first key.
        argv = ["wtype", "-s", "1500"]
        for key in keys:
            argv += ["-k", key, "-s", "300"]
        return subprocess.run(self.AS_USER + argv, env=self.env, timeout=30).returncode == 0

    def clipboard(self):
        return self.run(["wl-paste", "-n"], timeout=10)


class Mutter(Compositor):
    """GNOME's compositor, with its own Xwayland for X clients. Real keys and the clipboard go
    through its remote-desktop D-Bus interface; it runs as the user running the tests."""

    TOOLS = ("mutter", "dbus-daemon", "Xwayland")
    REMOTE = "org.gnome.Mutter.RemoteDesktop"

    def _start_compositor(self):
        try:
            import gi
            gi.require_version("Gio", "2.0")
            from gi.repository import Gio, GLib
        except (ImportError, ValueError):
            raise CannotStart("python3-gi is missing")
        self.Gio, self.GLib = Gio, GLib
        self._prepare_compositor(os.getuid())
        self.compositor = self.spawn(["mutter", "--headless", "--wayland", "--virtual-monitor", "1920x1080",
                                      "--wayland-display=lexitrove-mutter"])
        self._wait_socket("lexitrove-mutter")
        # Its Xwayland, for the X clients: the display it names in its log, and the key it made.
        runtime = self.env["XDG_RUNTIME_DIR"]
        found = wait_until(lambda: re.search(r"Using public X11 display (:\d+)", self.read_log("mutter")), 30)
        keys = [name for name in os.listdir(runtime) if name.startswith(".mutter-Xwaylandauth")]
        if found and keys:
            self.x_env = dict(self.env, DISPLAY=found.group(1), XAUTHORITY=os.path.join(runtime, keys[0]))
        self.bus = Gio.DBusConnection.new_for_address_sync(
            self.env["DBUS_SESSION_BUS_ADDRESS"],
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
        # The socket comes before the remote-desktop interface is on the bus.
        if not wait_until(self._remote_desktop_ready, 30, interval=0.1):
            raise CannotStart("mutter offered no remote-desktop interface within 30 s")
        self.session = self._call("/org/gnome/Mutter/RemoteDesktop", self.REMOTE, "CreateSession", None)[0][0]
        for method, args in (("EnableClipboard", GLib.Variant("(a{sv})", ({},))), ("Start", None)):
            self._call(self.session, self.REMOTE + ".Session", method, args)
        # The virtual keyboard comes into being with the first key, which is lost.
        self._key(0xffe9, True)
        self._key(0xffe9, False)
        time.sleep(1.5)

    def stop(self):
        if getattr(self, "session", None):
            try:
                self._call(self.session, self.REMOTE + ".Session", "Stop", None)
            except Exception:  # the compositor may be gone already
                pass
        super().stop()

    def _remote_desktop_ready(self):
        reply = self.bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                   "NameHasOwner", self.GLib.Variant("(s)", (self.REMOTE,)), None, 0, 5000, None)
        return reply.unpack()[0]

    def _call(self, path, interface, method, args, fds=None):
        reply, out_fds = self.bus.call_with_unix_fd_list_sync(
            "org.gnome.Mutter.RemoteDesktop", path, interface, method, args, None, 0, 10000, fds, None)
        return reply.unpack() if reply is not None else (), out_fds

    def _key(self, keysym, pressed):
        self._call(self.session, self.REMOTE + ".Session", "NotifyKeyboardKeysym",
                   self.GLib.Variant("(ub)", (keysym, pressed)))

    def keys(self, *keys):
        from Xlib import XK
        for chord in keys:  # "Alt_L+F4": held together
            keysyms = [XK.string_to_keysym(key) for key in chord.split("+")]
            for keysym in keysyms:
                self._key(keysym, True)
            for keysym in reversed(keysyms):
                self._key(keysym, False)
            if chord != keys[-1]:
                time.sleep(0.3)
        return True

    def clipboard(self):
        try:
            (handle,), fds = self._call(self.session, self.REMOTE + ".Session", "SelectionRead",
                                        self.GLib.Variant("(s)", ("text/plain;charset=utf-8",)))
        except Exception:  # nothing on the clipboard
            return ""
        fd = fds.get(handle)
        chunks = []
        end = time.monotonic() + 5
        os.set_blocking(fd, False)
        try:
            while time.monotonic() < end:
                try:
                    chunk = os.read(fd, 65536)
                except BlockingIOError:
                    time.sleep(0.02)
                    continue
                if not chunk:
                    break
                chunks.append(chunk)
        finally:
            os.close(fd)
        return b"".join(chunks).decode("utf-8", "replace")
