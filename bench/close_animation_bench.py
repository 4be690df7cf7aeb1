#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Measures the closing animation on a real window: Xvfb at 1920x1080 with openbox, the window
# closed through the window manager, its frame watched from a second X connection. Reports the time
# from the close request to the end of the process, against a baseline measured in the same run:
# the same program ended by SIGTERM, which leaves through the same teardown without the animation.
# Usage: bench/close_animation_bench.py BUILD_DIR/lexitrove [--runs N]
import argparse
import os
import statistics
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import SKIP, Desktop, Mismatch, missing_requirements, wait_for  # noqa: E402

CAPTION = "Lexitrove"
TARGET, LIMIT = 1.0, 2.0  # seconds on a 1920-pixel-wide screen


def close_once(desktop, program, by_signal):
    from Xlib import X, display

    process = desktop.processes.spawn([program], desktop.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        window = desktop.find_window(process, CAPTION)
        time.sleep(0.3)  # let placement and the first paint settle
        watcher = display.Display(desktop.env["DISPLAY"])
        client = watcher.create_resource_object("window", window.id)
        frame = watcher.create_resource_object("window", desktop.frame(window).id)
        for watched in (client, frame):
            watched.change_attributes(event_mask=X.StructureNotifyMask)
        watcher.sync()
        sizes, positions = set(), set()

        def drain():
            while watcher.pending_events():
                event = watcher.next_event()
                if event.type != X.ConfigureNotify:
                    continue
                if event.window.id == client.id:
                    sizes.add((event.width, event.height))
                else:
                    positions.add((event.x, event.y))

        if by_signal:
            process.send_signal(signal.SIGTERM)
        else:
            desktop.request_close(window)
        start = time.monotonic()
        while process.poll() is None:
            drain()
            if time.monotonic() - start > 30:
                raise Mismatch("the program after a close request", "ended within 30 s", "still running")
            time.sleep(0.0005)
        elapsed = time.monotonic() - start
        drain()
        watcher.close()
        # X reuses window ids: openbox could apply the closed window's leftover requests to the next one.
        wait_for("the window manager letting go of the closed window", lambda: desktop.gone(window), 20)
        return elapsed, process.returncode, len(sizes), len(positions)
    finally:
        desktop.processes.end(process)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("program")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    missing = missing_requirements(accessibility=False, driving=False)
    if missing:
        print("close_animation: skipped, missing " + ", ".join(missing))
        return SKIP
    animated, baseline = [], []
    with Desktop(accessibility=False) as desktop:
        for _ in range(args.runs):
            animated.append(close_once(desktop, args.program, by_signal=False))
            baseline.append(close_once(desktop, args.program, by_signal=True))
    for elapsed, status, sizes, positions in animated:
        print(f"  animated run: {elapsed:.3f} s, exit status {status}, "
              f"{sizes} distinct sizes, {positions} distinct positions")
    for elapsed, status, sizes, positions in baseline:
        print(f"  baseline run (SIGTERM): {elapsed:.3f} s, exit status {status}, {sizes} distinct sizes")
    closing = statistics.median(run[0] for run in animated)
    still = statistics.median(run[0] for run in baseline)
    fewest_sizes = min(run[2] for run in animated)
    print(f"close_animation: close request to end {closing:.3f} s (median of {args.runs}); "
          f"baseline without animation {still:.3f} s; ratio {closing / still:.1f}x; "
          f"target about {TARGET:.0f} s, limit {LIMIT:.0f} s; at least {fewest_sizes} distinct sizes seen")
    ok = (all(run[1] == 0 for run in animated) and all(run[1] == 128 + signal.SIGTERM for run in baseline)
          and fewest_sizes >= 3
          and max(run[0] for run in animated) <= LIMIT)
    print("close_animation: " + ("within bounds" if ok else "OUT OF BOUNDS"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
