// SPDX-License-Identifier: MIT
// One random ordinal per word.
#include "words/ordinal_draw.h"

namespace {

// 1..total, exactly uniform. The 2^64 values are cut into `total` bands of floor(2^64 / total)
// values each, and ordinal k is the k-th band from the bottom. The fewer than `total` values
// above the last whole band belong to no band and are drawn again; that happens less than once
// in 2^33 draws.
std::int64_t uniformOrdinal(std::int32_t total, Platform& platform)
{
    const auto count = std::uint64_t(total);
    const std::uint64_t leftOver = (0 - count) % count; // 2^64 mod total, in 64-bit arithmetic
    const std::uint64_t lastInBand = ~std::uint64_t(0) - leftOver;
    std::uint64_t value = platform.randomBits();
    while (value > lastInBand)
        value = platform.randomBits();
    if (count == 1)
        return 1; // one band of all 2^64 values: a width no 64-bit number holds
    const std::uint64_t bandWidth = lastInBand / count + 1;
    return std::int64_t(value / bandWidth) + 1;
}

} // namespace

void PickIndex(FormState& form, Platform& platform)
{
    if (form.Total <= 0) {
        form.Pick = 1.0; // nothing to draw from; the commands stop before asking
        return;
    }
    try {
        form.Pick = double(uniformOrdinal(form.Total, platform));
    } catch (const PlatformError& error) {
        form.Pick.reset();
        form.Fault = {DrawFault::RandomSource, error.description};
    }
}
