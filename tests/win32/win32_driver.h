// SPDX-License-Identifier: MIT
// The test driver's means of working the real lexitrove.exe from outside, as another program on
// the desktop could: start it in a folder of its own, find its window, read its boxes, its menu
// bar (through the hook DLL) and its message boxes, choose commands, read the clipboard, close
// it and read its exit status. Nothing here is compiled into the program.
#pragma once

#include "rows.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A row of a table of cases, named and printed by its `name` (rows.h):
// INSTANTIATE_TEST_SUITE_P(Rows, Suite, testing::Values(...), RowName()).
struct Row
{
    const char* name;
};

// Where the program under test and its installer are; main() fills it from the command line.
struct DriverSettings
{
    std::wstring program;
    std::wstring installer;
    std::wstring version; // the project's, as the installer registers it
};
DriverSettings& settings();

// For scripts/test-windows.sh: keeps one Wine program running from before the first test to
// after the last, with the desktop started by it rather than by a test, and ends when its
// standard input does. Wine empties the clipboard about a second after its last program ends,
// and a desktop started by a test would hold that test's output open; either would strike at
// random between two tests. Prints "ready" once the desktop is there.
int holdSession();

// A Windows path for a path given on the command line: under Wine a Unix path becomes its Z:
// path, so that CMake can pass the build's own paths.
std::wstring windowsPath(const std::wstring& path);
// The Unix path of a Windows path under Wine; empty on Windows itself.
std::string unixPath(const std::wstring& path);
bool underWine();

std::wstring fromUtf8(const std::string& text);
std::string toUtf8(const std::wstring& text);
double secondsSince(Clock::time_point start);
std::vector<std::wstring> splitWords(const std::wstring& phrase);

// Calls `read` until `done` holds for its result or `limit` has passed, handling the driver's
// own messages meanwhile; returns the last result either way. The limit only keeps a broken
// program from hanging the test: it is far beyond any time the program needs.
template <typename T>
T pollUntil(const std::function<T()>& read, const std::function<bool(const T&)>& done,
            std::chrono::milliseconds limit = 20s);
void pumpFor(std::chrono::milliseconds time);

// A folder of its own for one run: a copy of the program and its word list. Its name holds
// characters beyond ASCII, so every run also proves that the program finds its folder by them.
class ProgramFolder
{
public:
    // With no list, the folder has no Words.TxT.
    ProgramFolder();
    explicit ProgramFolder(const std::vector<std::wstring>& list);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::wstring& path() const { return m_path; }
    std::wstring program() const { return m_path + L"\\lexitrove.exe"; }
    // Words.TxT with one item a line, in UTF-8, LF after each.
    void writeWordList(const std::vector<std::wstring>& items);
    // Replaces Words.TxT by a sparse file of `bytes` zero bytes: reading it takes minutes.
    void writeHugeWordList(long long bytes);

private:
    std::wstring m_path;
};

struct MenuItem
{
    int depth = 0;
    wchar_t kind = L'C'; // P opens a list, S separator, C command
    bool greyed = false;
    UINT id = 0;
    std::wstring caption;
};

struct MessageBoxSeen
{
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<std::wstring> buttons;
    std::wstring icon; // "exclamation", "hand", ... as inspect_hook.cpp names them
    HWND owner = nullptr;
};

// What the clipboard holds: its text, and the value of each of the three marks that keep it out
// of clipboard history and cloud clipboard (nullopt: not there; a mark without a DWORD is -1).
struct ClipboardSeen
{
    std::optional<std::wstring> text;
    std::map<std::wstring, std::optional<long long>> marks;
};
ClipboardSeen readClipboard();
// Keeps the clipboard open, as a slow or stuck program can, for as long as it lives.
class ClipboardHold
{
public:
    ClipboardHold();
    ~ClipboardHold();
    ClipboardHold(const ClipboardHold&) = delete;
    ClipboardHold& operator=(const ClipboardHold&) = delete;
};
void putOnClipboard(const std::wstring& text);
// What xclip reads from the X clipboard, in UTF-8; nullopt where there is no X (Windows).
std::optional<std::string> readXClipboard();

// One run of the program, started from `exe` (or through `shortcut`), ended by the destructor if
// the test left it running.
class TestedProgram
{
public:
    explicit TestedProgram(const std::wstring& exe);
    static TestedProgram fromShortcut(const std::wstring& shortcut, const std::wstring& exe);
    TestedProgram(TestedProgram&& other) noexcept;
    ~TestedProgram();

    // The main window once it is shown; fails the test if it never is.
    HWND waitForWindow();
    HWND window() const { return m_window; }
    bool running() const;
    // Waits for the end of the process and returns its exit status (-1: still running after `limit`).
    int waitForExit(std::chrono::milliseconds limit = 20s);
    Clock::time_point endedAt() const { return m_ended; }

    // The visible text box, and the child windows shown.
    HWND phraseBox() const;
    std::vector<HWND> visibleChildren() const;
    // What WM_GETTEXT gets from each hidden child window (the hidden boxes, the combo box and
    // what they are made of), in the order of the children.
    std::vector<std::wstring> hiddenTexts() const;
    // The same when the window was first shown.
    const std::vector<std::wstring>& hiddenTextsAtStart() const { return m_hiddenAtStart; }
    // WM_GETTEXT, as any program can send it.
    static std::wstring textOf(HWND control);
    std::wstring phrase() const { return textOf(phraseBox()); }

    // The menu bar, read inside the program by the hook DLL.
    std::vector<MenuItem> menu() const;
    // Chooses the command with this caption, as a click on it would.
    void choose(const std::wstring& caption);
    // Puts the mouse pointer over the middle of the window, and names the pointer the program has
    // set, read inside it by the hook DLL: "wait", "arrow" or "another pointer".
    void pointAtWindow() const;
    std::wstring pointer() const;
    // Chooses a "Words" command and returns its phrase once the command has shown it whole: the
    // counter on the bar, which it writes last, gives the length of the phrase in the box.
    std::wstring generate(const std::wstring& command);
    // Waits until the phrase box holds `expected`, and returns what it holds then.
    std::wstring waitForPhrase(const std::wstring& expected);
    // The caption of the n-th item on the menu bar itself (0: "Words"), and whether it is greyed.
    std::wstring barItem(std::size_t n, bool* greyed = nullptr) const;

    // The program's visible message box, if it shows one within `limit`.
    std::optional<MessageBoxSeen> waitForMessageBox(std::chrono::milliseconds limit = 20s) const;
    // Presses OK and waits until the box is gone.
    static void pressOk(const MessageBoxSeen& box);

    DWORD processId() const { return m_process.dwProcessId; }

private:
    TestedProgram() = default;

    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
    std::vector<std::wstring> m_hiddenAtStart;
    Clock::time_point m_ended{};
};

template <typename T>
T pollUntil(const std::function<T()>& read, const std::function<bool(const T&)>& done, std::chrono::milliseconds limit)
{
    const auto start = Clock::now();
    T value = read();
    while (!done(value) && Clock::now() - start < limit) {
        pumpFor(10ms);
        value = read();
    }
    return value;
}
