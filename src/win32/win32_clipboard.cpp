// SPDX-License-Identifier: MIT
// Replacing the clipboard's contents with the phrase in one change of owner.
#include "win32/win32_clipboard.h"

#include <cstring>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

namespace {

// How long another program may hold the clipboard open before the phrase is given up: a
// clipboard manager reading the last phrase takes a few milliseconds.
constexpr int kOpenAttempts = 25;
constexpr DWORD kOpenRetryMs = 10;

// The marks that pass a secret over: Windows' clipboard history and its cloud clipboard leave
// out what carries them (the value 0 says "no"), and so do clipboard monitors that honour the
// first one, as with the passwords of password managers.
constexpr const wchar_t* kPrivacyFormats[] = {L"ExcludeClipboardContentFromMonitorProcessing",
                                              L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"};

HGLOBAL globalCopy(const void* data, std::size_t size)
{
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return nullptr;
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    return memory;
}

// Once the clipboard holds the handle, the system owns the memory; before, this process does.
bool setData(UINT format, HGLOBAL memory)
{
    if (memory && SetClipboardData(format, memory))
        return true;
    if (memory)
        GlobalFree(memory);
    return false;
}

bool openClipboard(HWND owner)
{
    for (int attempt = 1; attempt <= kOpenAttempts; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(kOpenRetryMs);
    }
    return false;
}

bool putOnClipboard(HWND owner, const std::u16string& text)
{
    if (!openClipboard(owner))
        return false;
    // Emptying makes this window the owner, and drops every format another program put there.
    const bool done = EmptyClipboard() && setData(CF_UNICODETEXT, globalCopy(text.c_str(), (text.size() + 1) * 2));
    const DWORD no = 0;
    for (const wchar_t* name : kPrivacyFormats) {
        if (done)
            setData(RegisterClipboardFormatW(name), globalCopy(&no, sizeof no));
    }
    // Clipboard monitors hear of the change only now, with the marks already there.
    CloseClipboard();
    return done;
}

} // namespace

void Win32Clipboard::flush()
{
    if (!m_pending)
        return;
    const std::u16string text = *std::exchange(m_pending, std::nullopt);
    if (!putOnClipboard(m_owner, text) && !text.empty())
        m_refused = text;
}
