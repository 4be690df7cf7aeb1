// SPDX-License-Identifier: MIT
// Draws from Windows' system-preferred generator, the one its own cryptography uses: nothing of
// it is generated or kept in this process.
#include "system/system_random.h"

#include "platform/platform.h"

#include <windows.h>

#include <bcrypt.h>

std::uint64_t systemRandomBits()
{
    std::uint64_t value = 0;
    const NTSTATUS status =
        BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (status != 0) {
        // An NTSTATUS, not a Win32 error: FormatMessageW has no text for it without ntdll's table.
        static constexpr char16_t hexDigits[] = u"0123456789ABCDEF";
        std::u16string reason = u"BCryptGenRandom failed with status 0x";
        for (int shift = 28; shift >= 0; shift -= 4)
            reason += hexDigits[(std::uint32_t(status) >> shift) & 0xF];
        throw PlatformError{ErrorNumber::InternalError, reason};
    }
    return value;
}
