// SPDX-License-Identifier: MIT
// The phrase on Windows' clipboard: offered once per command, as Unicode text, kept out of the
// clipboard history and the cloud clipboard.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

class Win32Clipboard
{
public:
    explicit Win32Clipboard(HWND owner)
        : m_owner(owner)
    {}

    // What the logic put on the clipboard; it reaches Windows at the next flush.
    void offer(std::u16string text) { m_pending = std::move(text); }
    // Puts the text offered last on the clipboard, if it is not there yet. Another program may
    // hold the clipboard open for a moment: the flush tries again for a short while, and if the
    // clipboard stays locked, the phrase is noted as refused.
    void flush();
    // A non-empty phrase that could not be put on the clipboard since the last call, if any.
    std::optional<std::u16string> takeRefused() { return std::exchange(m_refused, std::nullopt); }

private:
    HWND m_owner;
    std::optional<std::u16string> m_pending;
    std::optional<std::u16string> m_refused;
};
