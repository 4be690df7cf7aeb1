# SPDX-License-Identifier: MIT
# A private X desktop for the tests and measurements that need a real window: Xvfb on a display
# of its own choosing, openbox managing it, and the few requests a desktop makes of a window.
import os
import shutil
import subprocess
import time

SKIP = 77  # what CTest is told to count as skipped


def missing_requirements():
    """Names of what this machine lacks for a private desktop; empty when all is there."""
    missing = [tool for tool in ("Xvfb", "openbox") if shutil.which(tool) is None]
    try:
        import Xlib.display  # noqa: F401  (python3-xlib)
    except ImportError:
        missing.append("python3-xlib")
    return missing


class Desktop:
    """Xvfb plus openbox; use it in a with-statement so both always end."""

    def __init__(self, width=1920, height=1080):
        self.width, self.height = width, height
        self.processes = []
        self.display = None
        self.name = None

    def __enter__(self):
        from Xlib import display as xdisplay

        # Xvfb picks a free display itself and reports it, so parallel runs never collide.
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{self.width}x{self.height}x24",
             "-dpi", "96", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(xvfb)
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            self.__exit__(None, None, None)
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"
        self.display = xdisplay.Display(self.name)
        self.processes.append(subprocess.Popen(["openbox", "--sm-disable"], env=self.environment(),
                                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        self._wait(lambda: self._property(self.display.screen().root, "_NET_SUPPORTING_WM_CHECK"),
                   "the window manager")
        return self

    def __exit__(self, *exc):
        if self.display is not None:
            self.display.close()
            self.display = None
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.processes.clear()

    def environment(self):
        env = dict(os.environ, DISPLAY=self.name, QT_QPA_PLATFORM="xcb")
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def _atom(self, name):
        return self.display.intern_atom(name)

    def _property(self, window, name):
        reply = window.get_full_property(self._atom(name), 0)
        return None if reply is None else reply.value

    @staticmethod
    def _wait(condition, what, timeout=20.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = condition()
            if found:
                return found
            time.sleep(0.02)
        raise TimeoutError(f"timed out waiting for {what}")

    def find_window(self, pid, title, timeout=20.0):
        """The managed top-level window of process `pid` captioned `title`, once it is shown."""
        root = self.display.screen().root

        def look():
            for window_id in self._property(root, "_NET_CLIENT_LIST") or []:
                window = self.display.create_resource_object("window", window_id)
                pids = self._property(window, "_NET_WM_PID")
                name = self._property(window, "_NET_WM_NAME")
                if pids and pids[0] == pid and name is not None and bytes(name).decode() == title:
                    return window
            return None

        return self._wait(look, f"a window '{title}' of process {pid}", timeout)

    def wait_unmanaged(self, window_id):
        """Waits until the window manager has let go of a closed window. X reuses window ids, and
        openbox could otherwise apply the old window's leftover requests to the next program's."""
        root = self.display.screen().root
        self._wait(lambda: window_id not in (self._property(root, "_NET_CLIENT_LIST") or []),
                   "the window manager to forget the closed window")
        self.display.sync()

    def frame_of(self, window):
        """The window manager's frame around `window`: the child of the root that holds it."""
        root = self.display.screen().root
        while True:
            parent = window.query_tree().parent
            if parent.id == root.id:
                return window
            window = parent

    def geometry(self, window):
        """(left, top, width, height) of the outer frame, in pixels on the screen."""
        frame = self.frame_of(window)
        g = frame.get_geometry()
        return g.x, g.y, g.width, g.height

    def _client_message(self, window, type_name, data):
        from Xlib import X
        from Xlib.protocol import event

        root = self.display.screen().root
        message = event.ClientMessage(window=window, client_type=self._atom(type_name),
                                      data=(32, (data + [0] * 5)[:5]))
        root.send_event(message, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        self.display.flush()

    def request_close(self, window):
        """Asks the window manager to close `window`, as a task bar or the close box does."""
        self._client_message(window, "_NET_CLOSE_WINDOW", [0, 2])

    def maximise(self, window):
        self._client_message(window, "_NET_WM_STATE", [1, self._atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                                                        self._atom("_NET_WM_STATE_MAXIMIZED_HORZ"), 2])

    def icon_sizes(self, window):
        """The sizes of the images in the window's _NET_WM_ICON."""
        data = list(self._property(window, "_NET_WM_ICON") or [])
        sizes = []
        while len(data) >= 2:
            width, height = data[0], data[1]
            sizes.append((width, height))
            data = data[2 + width * height:]
        return sizes
