// SPDX-License-Identifier: MIT
// Error texts from FormatMessageW, trimmed to fit inside a sentence of the program's own.
#include "system/system_error_win32.h"

#include "platform/text.h"

#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::u16string windowsErrorText(unsigned long code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text;
    if (buffer) {
        text.assign(reinterpret_cast<const char16_t*>(buffer), length);
        LocalFree(buffer);
    }
    // The texts end in a full stop and a line break (or, with the width mask, a space); the
    // program puts them in parentheses.
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\r' || text.back() == u'\n'))
        text.pop_back();
    if (!text.empty() && text.back() == u'.')
        text.pop_back();
    if (text.empty())
        text = u"Windows error " + decimal(std::int64_t(code));
    return text;
}
