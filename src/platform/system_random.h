// SPDX-License-Identifier: MIT
// The operating system's cryptographic random source, as the bits the phrase draws need.
#pragma once

#include "platform/platform.h"

// 64 bits from the kernel's generator: getrandom(2) on Linux, BCryptGenRandom on Windows,
// arc4random_buf on macOS and the BSDs. Nothing of it is generated or kept in this process, so
// there is no state to seed, copy or predict. Throws PlatformError 51, with the system's
// reason, when the kernel cannot give them.
quint64 systemRandomBits();

#if defined(Q_OS_LINUX)
#include <sys/types.h>

// The loop behind systemRandomBits on Linux, over any source that behaves as getrandom(2) does:
// a read may give fewer bytes than asked for, or fail with EINTR, and the rest is asked for
// again. Tests hand it sources that do so.
using RandomSource = ssize_t (*)(void* buffer, size_t size, unsigned int flags);
quint64 randomBitsFrom(RandomSource source);
#endif
