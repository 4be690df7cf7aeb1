// SPDX-License-Identifier: MIT
// "Words (10)" as the user meets it, the start-up count and then ten random fetches, on the
// Words.TxT in FOLDER: built for Linux and for Windows from this one source, so that
// windows_bench.sh can set the Windows build under Wine against the Linux one on the same list.
// The n-th run of either build draws the same ordinals, so both do the same work: a random fetch
// costs in proportion to its ordinal, and truly random draws would make the best of a few runs
// a matter of luck.
// Prints the best and the median of RUNS runs in milliseconds:  best MS median MS
//   windows_words_bench FOLDER RUNS
#include "app/form1.h"
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
    const Spread spread = spreadOf(std::max(1, std::atoi(argv[2])), [&] {
        BenchPlatform program(folder);
        program.drawFromSeed(++run);
        Form1 form(program);
        const double ms = timeMs([&] {
            form.load();
            program.choose(Item::W10);
        });
        if (std::count(program.phrase().begin(), program.phrase().end(), u' ') != 9)
            benchFailed("\"Words (10)\" made no phrase of ten words");
        return ms;
    });
    std::printf("best %.1f median %.1f\n", spread.best, spread.median);
    return 0;
}
