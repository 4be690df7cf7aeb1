# SPDX-License-Identifier: MIT
# The clipboard on a real X server: the phrase read by xclip after a command and after "Copy
# Text", and what is left of it once the program has ended, with clipboard managers of both
# kinds (xfsettingsd takes the clipboard over as the program hands it on; diodon, and parcellite
# where it is installed, as on Debian 12, put it back once it is empty) and without one, and after
# a signal to end.
# Usage: clipboard_e2e.py PROGRAM WORD_LIST [CLIPBOARD_END_TEST]
#   (exit 77: the machine lacks what the test needs)
# The desktop and the driving of the program are the end-to-end harness's (tests/e2e/).
import os
import shutil
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "e2e"))

from desktop import SKIP, Desktop, Mismatch, check, missing_requirements, wait_for  # noqa: E402

PLAIN_TEXT_TARGETS = {"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "UTF8_STRING", "STRING", "TEXT",
                      "COMPOUND_TEXT", "text/plain", "text/plain;charset=utf-8"}


def words_command(program, count):
    program.choose("Words", count, "Words (%02d)" % count)


def phrase_on_clipboard(desktop, vocabulary, count, previous):
    def changed():
        text = desktop.clipboard()
        return text if text and text != previous else None

    phrase = wait_for(f"a new phrase of {count} words on the clipboard", changed, 20, seen=desktop.clipboard)
    words = phrase.split(" ")
    if len(words) != count or not all(word in vocabulary for word in words):
        raise Mismatch("the phrase on the clipboard", f"{count} words from the list", repr(phrase))
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
    check("the clipboard after start-up", "before the program", desktop.clipboard())
    words_command(program, 3)
    phrase = phrase_on_clipboard(desktop, vocabulary, 3, "before the program")
    check("the exit status of the program that lost the clipboard", 0, other.wait(10))
    targets = desktop.clipboard_targets()
    if not targets <= PLAIN_TEXT_TARGETS or "UTF8_STRING" not in targets:
        raise Mismatch("the clipboard's formats", "plain text ones, UTF8_STRING among them", sorted(targets))
    check("the owner of the PRIMARY selection", 0, desktop.selection_owner("PRIMARY"))

    fixture.take_clipboard("from another program")
    program.click(program.bar_item("Copy Text"))
    wait_for('"Text Copied" on the menu bar', lambda: "Text Copied" in program.bar_captions(), 5,
             seen=program.bar_captions)
    check('the clipboard after "Copy Text"', phrase, desktop.clipboard())
    wait_for('"Copy Text" back on the menu bar', lambda: "Copy Text" in program.bar_captions(), 10,
             seen=program.bar_captions)

    check("the exit status after closing the window", 0, close_window(program))
    wait_for(f"the phrase on the clipboard after the program ended, served by {manager_name}",
             lambda: desktop.clipboard() == phrase, 10, seen=desktop.clipboard)
    # Served by the manager alone: without it nothing is left on the clipboard.
    desktop.processes.end(manager)
    wait_for("the clipboard left without an owner", lambda: desktop.selection_owner("CLIPBOARD") == 0, 5,
             seen=lambda: desktop.selection_owner("CLIPBOARD"))


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
    box = program.wait_window("Quorbel_Words", 20)
    time.sleep(0.3)
    check("the program running while its message shows", True, program.running())
    last = desktop.clipboard()
    if last is None:
        raise Mismatch("the clipboard while the message shows", "a text", "nothing")
    desktop.run(["xdotool", "windowactivate", "--sync", str(box.id)])
    desktop.key("Return")
    check("the exit status after the message about the missing list", 1, program.wait_exit(60))
    check("the clipboard after the program ended", last, desktop.clipboard())


def signal_ends_like_a_close(fixture, words, vocabulary, signal_number):
    """A signal to end (kill -TERM, Ctrl+C in a terminal, the terminal gone) ends the program as
    a close does, through the teardown where the manager takes the phrase; the exit status says
    which signal it was."""
    desktop = fixture.desktop
    fixture.start_clipboard_manager()
    program = fixture.start(words)
    words_command(program, 3)
    phrase = phrase_on_clipboard(desktop, vocabulary, 3, None)
    program.process.send_signal(signal_number)
    check(f"the exit status after {signal.Signals(signal_number).name}", 128 + signal_number, program.wait_exit(60))
    wait_for("the phrase on the clipboard after the program ended, served by xfsettingsd",
             lambda: desktop.clipboard() == phrase, 10, seen=desktop.clipboard)


def without_manager(fixture, words, vocabulary):
    """No clipboard manager: the phrase lasts only while the program runs."""
    desktop = fixture.desktop
    program = fixture.start(words)
    words_command(program, 2)
    phrase_on_clipboard(desktop, vocabulary, 2, None)
    check("the exit status after closing the window", 0, close_window(program))
    check("the clipboard after the program ended", None, desktop.clipboard())


def requests_as_the_program_ends(fixture, end_test):
    """Without a manager, a request for the clipboard made after the program's event loop has
    ended is answered at once (qt_clipboard_end_test makes it, on this X server)."""
    result = fixture.desktop.run([end_test], timeout=60)
    if result.returncode != 0:
        raise Mismatch("qt_clipboard_end_test", "every check passed", result.stdout.decode(errors="replace"))


def main():
    if len(sys.argv) not in (3, 4):
        print("usage: clipboard_e2e.py PROGRAM WORD_LIST [CLIPBOARD_END_TEST]", file=sys.stderr)
        return 2
    missing = missing_requirements(("xfsettingsd", "diodon"))
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
            managers = ["xfsettingsd", "diodon"]
            if shutil.which("parcellite"):
                managers.append("parcellite")
            else:
                print("not run: command_copy_text_and_close with parcellite, which is not installed"
                      " (Debian 13 has none)")
            scenarios = [(f"command_copy_text_and_close, {manager}", command_copy_text_and_close, (manager,))
                         for manager in managers]
            scenarios += [(scenario.__name__, scenario, ()) for scenario in (missing_list_during_command,
                                                                               without_manager)]
            scenarios += [(f"signal_ends_like_a_close, {number.name}", signal_ends_like_a_close, (number,))
                          for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)]
            if len(sys.argv) == 4:
                end_test = os.path.abspath(sys.argv[3])
                scenarios.append(("requests_as_the_program_ends",
                                  lambda fixture, words, vocabulary: requests_as_the_program_ends(fixture, end_test), ()))
            else:
                print("not run: requests_as_the_program_ends (built without the xcb headers)")
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
