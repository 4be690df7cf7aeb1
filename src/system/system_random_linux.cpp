// SPDX-License-Identifier: MIT
// Draws from the Linux kernel's generator, which gathers entropy from many sources and does not
// rest on any single processor instruction being right.
#include "system/system_random.h"

#include "platform/platform.h"
#include "platform/text.h"

#include <cerrno>
#include <cstring>
#include <sys/random.h>

std::uint64_t randomBitsFrom(RandomSource source)
{
    std::uint64_t value = 0;
    // Without flags it waits only until the kernel's pool was first filled, early in boot, and
    // never again; a signal or a short read just asks for the rest.
    auto* bytes = reinterpret_cast<unsigned char*>(&value);
    for (size_t got = 0; got < sizeof value;) {
        const ssize_t n = source(bytes + got, sizeof value - got, 0);
        if (n > 0)
            got += size_t(n);
        else if (n < 0 && errno != EINTR)
            throw PlatformError{ErrorNumber::InternalError, fromSystemUtf8(std::strerror(errno))};
        else if (n == 0)
            throw PlatformError{ErrorNumber::InternalError, u"getrandom gave no bytes"};
    }
    return value;
}

std::uint64_t systemRandomBits()
{
    return randomBitsFrom(::getrandom);
}
