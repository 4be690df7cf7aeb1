// SPDX-License-Identifier: MIT
// "Words (10)" on the Words.TxT in FOLDER (timeWords10), built for Linux and for Windows from
// this one source, so that windows_bench.sh can set the Windows build under Wine against the
// Linux one on the same list.
// The n-th run of either build draws the same ordinals, so both do the same work: a random fetch
// costs in proportion to its ordinal, and truly random draws would make the best of a few runs
// a matter of luck.
// Prints the best and the median of RUNS runs in milliseconds:  best MS median MS
//   windows_words_bench FOLDER RUNS
#include "bench_platform.h"
#include "bench_support.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 3)
        benchFailed("usage: windows_words_bench FOLDER RUNS");
    const std::u16string folder = fromSystemUtf8(argv[1]);
    std::uint64_t run = 0;
    const Spread spread = spreadOf(std::max(1, std::atoi(argv[2])), [&] { return timeWords10(folder, ++run); });
    std::printf("best %.1f median %.1f\n", spread.best, spread.median);
    return 0;
}
