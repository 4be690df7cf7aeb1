// SPDX-License-Identifier: MIT
// The seam between the program's logic and the desktop: every service from outside goes through here.
#pragma once

#include <QString>

#include <memory>

// A failure of a platform operation, carried as a numbered error. The numbers follow the
// classic runtime numbering so the word-list readers can tell a missing file from the rest:
//    6  Overflow                  (a count past the signed 32-bit range)
//   51  Internal error            (the system's random source failed)
//   53  File not found            (also a dangling symbolic link)
//   55  File already open         (file number 1 is still in use)
//   57  Device I/O error          (a read failed half way)
//   70  Permission denied
//   75  Path/File access error    (a directory, FIFO, device or socket where a file was expected)
// `description` is the system's own words for it where the system gives any ("Permission
// denied", "Is a directory"), so a message can pass them on.
struct PlatformError
{
    int number = 0;
    QString description;
};

namespace ErrorNumber {
constexpr int Overflow = 6;
constexpr int InternalError = 51;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyOpen = 55;
constexpr int DeviceIo = 57;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
} // namespace ErrorNumber

// Thrown by Platform::endProcess and by every operation that ran nested events after the end
// was asked for. It unwinds the handler that is running, and every handler below it, back to the
// event dispatch, which swallows it; the application then leaves through its normal teardown.
struct ProcessEnd
{
};

// A file opened for sequential input. Closing is the destructor: it frees the file number on
// every way out of the scope that holds it, error exits included.
class InputFile
{
public:
    virtual ~InputFile() = default;
    // Reads up to maxSize bytes; returns 0 at the end of the file. Throws PlatformError.
    virtual qint64 read(char* data, qint64 maxSize) = 0;
};

enum class EventKind { Load, Unload, Change, Click };

// What the platform raises events into: the main window object.
class EventSink
{
public:
    virtual ~EventSink() = default;
    // `cancel` is given with Unload only; setting it to non-zero keeps the window open.
    virtual void raise(const QString& source, EventKind kind, qint16* cancel = nullptr) = 0;
};

enum class Geometry { Top, Left, Width, Height };

class Platform
{
public:
    virtual ~Platform() = default;

    // Events of the window, its controls and its menu items go to `sink`.
    virtual void setEventSink(EventSink* sink) = 0;

    // --- Files -------------------------------------------------------------------------------
    // The folder of the real executable (symbolic links resolved), without a trailing separator.
    virtual QString applicationFolder() = 0;
    // Opens `path` for reading under `fileNumber`. Throws PlatformError: 53 when it does not
    // exist, 70 when it may not be read, 75 when it is not a regular file, 55 when the number
    // is in use. Never blocks on a FIFO or device.
    virtual std::unique_ptr<InputFile> openForInput(const QString& path, int fileNumber) = 0;

    // --- Messages and the end of the process --------------------------------------------------
    // Modal: returns once the user has dismissed it. `buttons` uses the standard numbering
    // (0 OK; icons 16 stop, 32 question, 48 exclamation, 64 information).
    virtual void messageBox(const QString& prompt, int buttons, const QString& title) = 0;
    // Ends the process with `exitStatus`: no further handler runs, and control never comes back
    // to the caller (throws ProcessEnd). The application still leaves through its normal
    // teardown, so the desktop's clipboard manager can take over the clipboard.
    [[noreturn]] virtual void endProcess(int exitStatus) = 0;
    virtual bool hasEnded() const = 0;

    // --- Clock and randomness ----------------------------------------------------------------
    // Seconds since midnight, with fraction; falls back to 0 at midnight.
    virtual float timeOfDay() = 0;
    // Mixes `seed` into the generator; it never replaces the generator's own entropy.
    virtual void reseed(float seed) = 0;
    // 64 bits from the operating system's cryptographic generator, every value equally likely.
    // Throws PlatformError 51 when the system cannot give them: there is no weaker fallback.
    virtual quint64 randomBits() = 0;

    // Handles the queued window events, then returns; may wait a few milliseconds for one
    // when nothing is queued. Throws ProcessEnd when one of them ended the process.
    virtual void pumpEvents() = 0;

    // --- Text --------------------------------------------------------------------------------
    // Each 16-bit character becomes exactly one 16-bit character: the length never changes.
    virtual QString upperCase(const QString& text) = 0;
    virtual QString lowerCase(const QString& text) = 0;

    // --- Controls ----------------------------------------------------------------------------
    // `box` is "Text1", "Text2" or "Text3". A write of "Text1" raises its Change event before
    // it returns, also when the text is unchanged. The box holds exactly the text written.
    virtual QString text(const QString& box) = 0;
    virtual void setText(const QString& box, const QString& text) = 0;
    // Shown at once. `item` is a menu item's name ("CH", "Ct1", ...).
    virtual void setCaption(const QString& item, const QString& caption) = 0;
    virtual void setEnabled(const QString& item, bool enabled) = 0;

    // --- Clipboard ---------------------------------------------------------------------------
    // Replaces everything on the system clipboard with exactly `text`, as plain text, in one
    // change of owner: nothing another program put there stays, and no paste ever finds the
    // clipboard without an owner in between.
    virtual void replaceClipboard(const QString& text) = 0;

    // --- Window geometry, in twips (1/1440 inch) ---------------------------------------------
    // The window's outer frame. A write that cannot be carried out throws PlatformError.
    virtual float geometry(Geometry which) = 0;
    virtual void setGeometry(Geometry which, float twips) = 0;
    virtual float screenWidth() = 0;
    // Between two passes of the closing sequence: serves the window system (other programs'
    // clipboard requests, repaints, accessibility queries) until the next pass is due, which
    // sets the pace of the animation. Input from the user is not acted on meanwhile.
    virtual void waitForNextFrame() = 0;
};
