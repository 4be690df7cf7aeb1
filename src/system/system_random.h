// SPDX-License-Identifier: MIT
// The operating system's cryptographic random source, as the bits the phrase draws need.
#pragma once

#include <cstdint>

// 64 bits from the kernel's generator: getrandom(2) on Linux, BCryptGenRandom on Windows.
// Nothing of it is generated or kept in this process, so there is no state to seed, copy or
// predict. Throws PlatformError 51, with the system's reason, when the kernel cannot give them.
std::uint64_t systemRandomBits();

#if defined(__linux__)
#include <cstddef>
#include <sys/types.h>

// The loop behind systemRandomBits on Linux, over any source that behaves as getrandom(2) does:
// a read may give fewer bytes than asked for, or fail with EINTR, and the rest is asked for
// again. Tests hand it sources that do so.
using RandomSource = ssize_t (*)(void* buffer, size_t size, unsigned int flags);
std::uint64_t randomBitsFrom(RandomSource source);
#endif
