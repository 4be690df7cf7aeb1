// SPDX-License-Identifier: MIT
// The seam between the program's logic and a desktop: every service from outside goes through
// here, so that every handler runs the same on Qt, on Win32 and against the test double.
#pragma once

#include "platform/controls.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

// A failure of a platform operation, carried as a numbered error, so that the word-list readers
// can tell a missing file from the rest:
//    6  Overflow                  (a count past the signed 32-bit range)
//    7  Out of memory             (a control could not take a text)
//   18  User interrupt            (a read stopped: the window is to close or the program to end)
//   51  Internal error            (the system's random source failed)
//   53  File not found            (also a dangling symbolic link)
//   57  Device I/O error          (a read failed half way)
//   70  Permission denied         (also a file another program holds locked)
//   75  Path/File access error    (a directory, FIFO, device or socket where a file was expected)
//  384  Window not movable        (minimised, maximised, or placed by the window system itself)
// `description` is the system's own words for it where the system gives any ("Permission
// denied", "Is a directory"), so a message can pass them on.
struct PlatformError
{
    int number = 0;
    std::u16string description;
};

namespace ErrorNumber {
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int UserInterrupt = 18;
constexpr int InternalError = 51;
constexpr int FileNotFound = 53;
constexpr int DeviceIo = 57;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int WindowNotMovable = 384;
} // namespace ErrorNumber

// Thrown by Platform::endProcess and by every operation that ran nested events after the end
// was asked for. It unwinds the handler that is running, and every handler below it, back to the
// window object's guard, which swallows it; the program then leaves through its normal teardown.
struct ProcessEnd
{
};

// A file opened for sequential input. Closing is the destructor, so the file is closed on every
// way out of the scope that holds it, error exits included.
class InputFile
{
public:
    virtual ~InputFile() = default;
    // Reads up to maxSize bytes; returns 0 at the end of the file. Throws PlatformError.
    virtual std::int64_t read(char* data, std::int64_t maxSize) = 0;
};

struct FormState;
class Platform;

// Every handler and private procedure of the main window takes the form state and the platform.
using Handler = void (*)(FormState&, Platform&);

// The main window object, as a desktop raises the window's events into it. Each runs inside the
// window object's guard: an error a handler leaves is shown, and after the end of the process
// nothing more runs.
class EventSink
{
public:
    virtual ~EventSink() = default;
    // A menu item was chosen; the window description says which handler it runs, if any.
    virtual void choose(Item item) = 0;
    // The text of the phrase box changed: every write of Text1, also one that changes nothing.
    virtual void phraseChanged() = 0;
    // The desktop asks to close the window. Returns whether the window may close.
    virtual bool closeRequested() = 0;
};

enum class Geometry { Top, Left, Width, Height };

// The icon of a message box; every box has one OK button. Exclamation is the one the program's
// own messages show (the buttons value 48); Critical reports an error no handler caught.
enum class MessageIcon { Exclamation, Critical };

class Platform
{
public:
    virtual ~Platform() = default;
    Platform() = default;
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // --- The window's events -----------------------------------------------------------------
    // The events of the window, its controls and its menu items go to `sink` (none: nullptr).
    void setEventSink(EventSink* sink) { m_sink = sink; }
    EventSink* eventSink() const { return m_sink; }

    // --- The program's life ------------------------------------------------------------------
    // Start-up (src/app/startup.h) shows the window once the load event has returned, runs the
    // event loop until the process ends, and then hands the clipboard over.
    virtual void showWindow() = 0;
    // Returns the exit status once the window has closed or the process was ended.
    virtual int runEventLoop() = 0;
    // Once the event loop has ended: gives the desktop what the logic last put on the clipboard,
    // if it has not had it yet, and leaves the clipboard as that desktop's rules want it left
    // (to a clipboard manager, or let go of so that nobody waits on an ended program).
    virtual void leaveClipboard() = 0;

    // --- Files -------------------------------------------------------------------------------
    // The folder of the real executable (symbolic links resolved), without a trailing separator.
    virtual std::u16string applicationFolder() = 0;
    // Opens `path` for reading. Throws PlatformError: 53 when it does not exist, 70 when it may
    // not be read, 75 when it is not a regular file. Never blocks on a FIFO or device.
    virtual std::unique_ptr<InputFile> openForInput(const std::u16string& path) = 0;

    // --- Messages and the end of the process --------------------------------------------------
    // Modal, with one OK button: returns once the user has dismissed it.
    virtual void messageBox(const std::u16string& prompt, MessageIcon icon, const std::u16string& title) = 0;
    // Ends the process with `exitStatus`: no further handler runs, and control never comes back
    // to the caller (throws ProcessEnd). The program still leaves through its normal teardown,
    // so the desktop's clipboard manager can take over the clipboard.
    [[noreturn]] virtual void endProcess(int exitStatus) = 0;
    virtual bool hasEnded() const = 0;
    // The status endProcess was given.
    virtual int exitStatus() const = 0;

    // --- Clock and randomness ----------------------------------------------------------------
    // Seconds since midnight, with fraction; falls back to 0 at midnight.
    virtual float timeOfDay() = 0;
    // 64 bits from the operating system's cryptographic generator, every value equally likely.
    // Throws PlatformError 51 when the system cannot give them: there is no weaker fallback.
    virtual std::uint64_t randomBits() = 0;

    // Handles the queued window events, then returns; may wait a few milliseconds for one
    // when nothing is queued. Throws ProcessEnd when one of them ended the process.
    virtual void pumpEvents() = 0;
    // Called before each block of the word list is read, and cheap enough for that. Once a
    // command has read for longer than a frame, serves the window system about once a frame, as
    // waitForNextFrame does (repaints, other programs' clipboard requests, accessibility queries),
    // and shows the busy pointer until the command has returned. Meanwhile input from the user is
    // thrown away and no handler runs. Throws PlatformError 18 when the window was asked to close,
    // or the program to end, meanwhile: the command stops without a phrase, and the request is
    // carried out once it has returned. Throws ProcessEnd when the process was ended.
    virtual void serveWhileReading() = 0;

    // --- Controls ----------------------------------------------------------------------------
    // A box holds exactly the text written, whatever the desktop's control makes of it. A write
    // of Text1 raises its change event before it returns, also when the text is unchanged.
    const std::u16string& text(Box box) const { return m_texts[std::size_t(box)]; }
    void setText(Box box, std::u16string text)
    {
        showText(box, text);
        m_texts[std::size_t(box)] = std::move(text);
        if (box == Box::Text1 && m_sink)
            m_sink->phraseChanged();
    }
    // Shown at once.
    virtual void setCaption(Item item, const std::u16string& caption) = 0;
    virtual void setEnabled(Item item, bool enabled) = 0;

    // --- Clipboard ---------------------------------------------------------------------------
    // Replaces everything on the system clipboard with exactly `text`, as plain text, in one
    // change of owner: nothing another program put there stays, and no paste ever finds the
    // clipboard without an owner in between. A desktop may hand over only the last text put
    // here while one event is handled (both do: a command offers its finished phrase once).
    virtual void replaceClipboard(const std::u16string& text) = 0;

    // --- Window geometry, in twips (1/1440 inch) ---------------------------------------------
    // The window's outer frame. A write that cannot be carried out throws PlatformError.
    virtual float geometry(Geometry which) = 0;
    virtual void setGeometry(Geometry which, float twips) = 0;
    virtual float screenWidth() = 0;
    // Between two passes of the closing sequence: serves the window system (other programs'
    // clipboard requests, repaints, accessibility queries) until the next pass is due, which
    // sets the pace of the animation. Input from the user is not acted on meanwhile.
    virtual void waitForNextFrame() = 0;

protected:
    // Puts a written text into the desktop's control. Throws PlatformError where it cannot;
    // the box then keeps its text.
    virtual void showText(Box box, const std::u16string& text) = 0;

private:
    EventSink* m_sink = nullptr;
    std::array<std::u16string, 3> m_texts; // by Box
};
