// SPDX-License-Identifier: MIT
// Draws from the kernel's generator, which gathers entropy from many sources and does not rest
// on any single processor instruction being right.
#include "platform/system_random.h"

#if defined(Q_OS_WIN)
#include <windows.h>

#include <bcrypt.h> // needs windows.h first
#elif defined(Q_OS_LINUX)
#include <cerrno>
#include <sys/random.h>
#elif defined(Q_OS_BSD4)
#include <stdlib.h>
#else
#error "no kernel random source is known for this system"
#endif

namespace {

[[noreturn]] void sourceFailed(const QString& reason)
{
    throw PlatformError{ErrorNumber::InternalError, reason};
}

} // namespace

#if defined(Q_OS_LINUX)
quint64 randomBitsFrom(RandomSource source)
{
    quint64 value = 0;
    // Without flags it waits only until the kernel's pool was first filled, early in boot, and
    // never again; a signal or a short read just asks for the rest.
    auto* bytes = reinterpret_cast<unsigned char*>(&value);
    for (size_t got = 0; got < sizeof value;) {
        const ssize_t n = source(bytes + got, sizeof value - got, 0);
        if (n > 0)
            got += size_t(n);
        else if (n < 0 && errno != EINTR)
            sourceFailed(qt_error_string(errno));
        else if (n == 0)
            sourceFailed(QStringLiteral("getrandom gave no bytes"));
    }
    return value;
}
#endif

quint64 systemRandomBits()
{
#if defined(Q_OS_WIN)
    quint64 value = 0;
    const NTSTATUS status =
        BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (status < 0)
        sourceFailed(QStringLiteral("BCryptGenRandom status 0x%1").arg(quint32(status), 8, 16, QLatin1Char('0')));
    return value;
#elif defined(Q_OS_LINUX)
    return randomBitsFrom(::getrandom);
#else
    quint64 value = 0;
    ::arc4random_buf(&value, sizeof value); // cannot fail
    return value;
#endif
}
