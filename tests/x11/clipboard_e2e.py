# SPDX-License-Identifier: MIT
# The clipboard on a real X server: the phrase read by xclip after a command and after "Copy
# Text", and what is left of it once the program has ended, with either of two clipboard managers
# (xfsettingsd and parcellite) and without one.
# Usage: clipboard_e2e.py PROGRAM WORD_LIST  (exit 77: the machine lacks what the test needs)
# The desktop and the driving of the program are the end-to-end harness's (tests/e2e/).
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "e2e"))

from desktop import Desktop, missing_requirements, wait_until  # noqa: E402

SKIP = 77
PLAIN_TEXT_TARGETS = {"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "UTF8_STRING", "STRING", "TEXT",
                      "COMPOUND_TEXT", "text/plain", "text/plain;charset=utf-8"}


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_for(condition, what, timeout=20.0):
    found = wait_until(condition, timeout)
    check(found, f"timed out waiting for {what}")
    return found


def words_command(program, count):
    program.choose("Words", count, "Words (%02d)" % count)


def phrase_on_clipboard(desktop, vocabulary, count, previous):
    def changed():
        text = desktop.clipboard()
        return text if text and text != previous else None

    phrase = wait_for(changed, f"a phrase of {count} words on the clipboard")
    words = phrase.split(" ")
    check(len(words) == count and all(word in vocabulary for word in words),
          f"not a phrase of {count} words from the list: {phrase!r}")
    return phrase


def close_window(program):
    """A click on the close box of the window's frame; returns the exit status."""
    program.desktop.click(*program.close_box())
    return program.wait_exit(60)


def command_copy_text_and_close(fixture, words, vocabulary, manager_name):
    """A command, Copy Text after another program took the clipboard, then the window closed:
    with a clipboard manager running the phrase is still there once the program is gone. The
    manager may ask for the clipboard while the window closes (parcellite does): it must get
    its answer then, or it never takes the phrase."""
    desktop = fixture.desktop
    manager = fixture.start_clipboard_manager(manager_name)
    other = fixture.take_clipboard("before the program")
    program = fixture.start(words)
    check(desktop.clipboard() == "before the program", "start-up changed the clipboard")
    words_command(program, 3)
    phrase = phrase_on_clipboard(desktop, vocabulary, 3, "before the program")
    check(other.wait(10) == 0, "the other program kept the clipboard")
    targets = desktop.clipboard_targets()
    check(targets <= PLAIN_TEXT_TARGETS and "UTF8_STRING" in targets, f"offered: {sorted(targets)}")
    check(desktop.selection_owner("PRIMARY") == 0, "the phrase was put on the PRIMARY selection")

    fixture.take_clipboard("from another program")
    program.click(program.bar_item("Copy Text"))
    wait_for(lambda: "Text Copied" in program.bar_captions(), '"Text Copied" on the menu bar', timeout=5)
    check(desktop.clipboard() == phrase, "Copy Text did not put the phrase back")
    wait_for(lambda: "Copy Text" in program.bar_captions(), '"Copy Text" back on the menu bar', timeout=10)

    check(close_window(program) == 0, "closing the window did not end the program with status 0")
    wait_for(lambda: desktop.clipboard() == phrase, f"the phrase on the clipboard after the program ended, "
             f"served by {manager_name}", 10)
    # Served by the manager alone: without it nothing is left on the clipboard.
    desktop.processes.end(manager)
    wait_for(lambda: desktop.selection_owner("CLIPBOARD") == 0, "the clipboard to be left without an owner", 5)


def missing_list_during_command(fixture, words, vocabulary):
    """The list deleted, then "Words (01)": the message, then the end with status 1; what the
    program last put on the clipboard is still served by the manager afterwards."""
    desktop = fixture.desktop
    fixture.start_clipboard_manager()
    program = fixture.start(words)
    words_command(program, 3)
    phrase_on_clipboard(desktop, vocabulary, 3, None)
    os.remove(os.path.join(program.folder, "Words.TxT"))
    words_command(program, 1)
    box = wait_for(lambda: program.wait_window("Quorbel_Words", 0), "the message box")
    time.sleep(0.3)
    check(program.running(), "the program ended before its message was dismissed")
    last = desktop.clipboard()
    check(last is not None, "nothing on the clipboard while the message shows")
    desktop.run(["xdotool", "windowactivate", "--sync", str(box.id)])
    desktop.key("Return")
    check(program.wait_exit(60) == 1, "the missing list did not end the program with status 1")
    check(desktop.clipboard() == last, "the clipboard did not outlive the program")


def without_manager(fixture, words, vocabulary):
    """No clipboard manager: the phrase lasts only while the program runs."""
    desktop = fixture.desktop
    program = fixture.start(words)
    words_command(program, 2)
    phrase_on_clipboard(desktop, vocabulary, 2, None)
    check(close_window(program) == 0, "closing the window did not end the program with status 0")
    check(desktop.clipboard() is None, "something still serves the clipboard")


def main():
    if len(sys.argv) != 3:
        print("usage: clipboard_e2e.py PROGRAM WORD_LIST", file=sys.stderr)
        return 2
    missing = missing_requirements(("xfsettingsd", "parcellite"))
    if missing:
        print("skipped, missing: " + ", ".join(missing))
        return SKIP
    program_path = os.path.abspath(sys.argv[1])
    with open(sys.argv[2], "rb") as word_list:
        words = word_list.read()
    vocabulary = set(words.decode("utf-8").split())
    workdir = tempfile.mkdtemp(prefix="lexitrove-clip-")
    try:
        # One desktop for all of them: the accessibility library binds to the first bus it meets.
        with Desktop(workdir) as desktop:
            from program import Fixture
            scenarios = [(f"command_copy_text_and_close, {manager}", command_copy_text_and_close, (manager,))
                         for manager in ("xfsettingsd", "parcellite")]
            scenarios += [(scenario.__name__, scenario, ()) for scenario in (missing_list_during_command,
                                                                               without_manager)]
            for number, (name, scenario, more) in enumerate(scenarios):
                started = time.monotonic()
                fixture = Fixture(desktop, program_path, os.path.join(workdir, "scenario%d" % number))
                try:
                    scenario(fixture, words, vocabulary, *more)
                finally:
                    fixture.clean_up()
                print(f"ok: {name} ({time.monotonic() - started:.1f} s)")
    finally:
        shutil.rmtree(workdir, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
