// SPDX-License-Identifier: MIT
// Speed of the six "Change Tex" commands on phrases of 10^3 to 10^8 characters, each chosen
// through the menu exactly as in the program (change handler and clipboard mirror included),
// beside a plain copy of the same phrase timed in the same run. Each figure is the processor time
// of the best of several runs, so that other programs on the machine do not count.
//
// Linearity is judged on the cost per character from 10^7 to 10^8 characters, where phrase,
// result and the desktop's copies (20 MB and more each) are all far past the processor's caches
// (32 MiB here): a linear command keeps about the same cost, one that re-reads or regrows the
// phrase per character pays ten times as much. Between smaller sizes the caches decide: a phrase
// of 10^6 characters and its copies fit in the last one, and there a linear command looked up to
// eight times cheaper per character than at 10^5 or 10^7.
//
// A command whose cost per character grows more than 20 times while the phrase grows a
// hundredfold (a quadratic one grows 100 times, the caches make a linear one at most a few
// times dearer) is not linear: it misses at once and is not run at the larger sizes, where a
// quadratic command would take hours.
//
// Prints a Markdown table and a summary line for bench/report.sh; exits 1 when a command is not
// linear.
//   edit_bench [--runs N] [--max-length N]
#include "app/form1.h"
#include "bench_platform.h"
#include "bench_support.h"
#include "ui/window_description.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr std::int64_t kLengths[] = {1000, 10000, 100000, 1000000, 10000000, 100000000};
constexpr double kMaxGrowth = 3.0; // cost per character, 10^7 to 10^8
constexpr double kMaxHundredfold = 20.0; // cost per character, any size to one 100 times larger

// Every run of `work`: the processor time of one call in milliseconds; `prepare` runs before
// each call, untimed. Short calls are repeated until a batch lasts a few milliseconds, so the
// clock's resolution does not count.
std::vector<double> runsMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    int reps = 1;
    std::vector<double> perCall;
    while (int(perCall.size()) < runs) {
        double ms = 0.0;
        for (int i = 0; i < reps; ++i) {
            prepare();
            const double start = threadCpuMs();
            work();
            ms += threadCpuMs() - start;
        }
        if (ms < 5.0 && reps < (1 << 20))
            reps *= 2; // a batch that was too short does not count as a run
        else
            perCall.push_back(ms / reps);
    }
    return perCall;
}

// `length` characters of words and single spaces, a line feed now and then, and a few
// non-ASCII letters, like a long phrase with line breaks pasted from elsewhere.
std::u16string wordsText(std::int64_t length)
{
    static const char16_t* const words[] = {u"abacus", u"Dove",  u"kettle", u"straße",    u"λόγος",
                                            u"oak",    u"İzmir", u"zen",    u"quintuple", u"𐐨𐐩"};
    std::u16string text;
    text.reserve(std::size_t(length) + 16);
    for (std::size_t i = 0; std::int64_t(text.size()) < length; ++i) {
        text += words[i % 10];
        text += i % 13 == 12 ? u'\n' : u' ';
    }
    text.resize(std::size_t(length));
    return text;
}

// The hardest case for every command: a one-letter word after every space.
std::u16string spacedText(std::int64_t length)
{
    std::u16string text;
    text.reserve(std::size_t(length) + 2);
    while (std::int64_t(text.size()) < length)
        text += u"a ";
    text.resize(std::size_t(length));
    return text;
}

double nsPerChar(double ms, std::size_t size)
{
    return ms * 1e6 / double(kLengths[size]);
}

struct Row
{
    Item command;
    const char* textName;
    std::vector<Spread> ms; // by size, as far as the command was run
    std::string notLinear; // why the larger sizes were not run
};

std::string nameOf(Item item)
{
    const std::u16string_view name = WindowDescription::menuRow(item).name;
    return std::string(name.begin(), name.end());
}

std::string power(std::size_t size)
{
    return "10^" + std::to_string(int(std::lround(std::log10(double(kLengths[size])))));
}

} // namespace

int main(int argc, char* argv[])
{
    int runs = 5;
    std::int64_t maxLength = kLengths[std::size(kLengths) - 1];
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--max-length") == 0)
            maxLength = std::atoll(argv[i + 1]);
    }
#ifdef __GLIBC__
    // Every size reuses memory the process already has. Otherwise strings past malloc's mmap
    // threshold (at most 32 MiB) come as fresh pages that the kernel zeroes on first touch, and
    // the sizes on either side of it pay for that unequally: 10^8 characters twice as dear per
    // character as 10^7 for the same work.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
#endif
    const Item commands[] = {Item::CL, Item::LCL, Item::CLF, Item::RS, Item::AD, Item::ADd};
    const std::pair<const char*, std::u16string (*)(std::int64_t)> texts[] = {{"words", wordsText},
                                                                              {"a a a", spacedText}};
    std::size_t sizes = 0;
    while (sizes < std::size(kLengths) && kLengths[sizes] <= maxLength)
        ++sizes;
    if (sizes < 2)
        benchFailed("--max-length leaves fewer than two sizes to judge");
    const std::size_t last = sizes - 1;

    std::vector<Spread> copyMs;
    std::vector<Row> rows;
    for (const auto& [textName, makeText] : texts) {
        for (const Item command : commands)
            rows.push_back({command, textName, {}, {}});
    }
    for (std::size_t size = 0; size < sizes; ++size) {
        std::size_t row = 0;
        for (const auto& [textName, makeText] : texts) {
            const std::u16string phrase = makeText(kLengths[size]);
            // The baseline: a fresh copy of the phrase, allocation included.
            std::u16string copy;
            const Spread baseline = spreadOf(runsMs(
                runs, [] {}, [&] { copy = std::u16string(phrase.data(), phrase.size()); }));
            if (copy != phrase)
                benchFailed("the baseline copy differs");
            if (row == 0)
                copyMs.push_back(baseline);
            for (const Item command : commands) {
                Row& r = rows[row++];
                if (!r.notLinear.empty())
                    continue;
                BenchPlatform program;
                Form1 form(program);
                // The phrase is put back before each call: the command rewrote it.
                r.ms.push_back(spreadOf(runsMs(
                    runs, [&] { program.setPhrase(phrase); }, [&] { program.choose(command); })));
                const bool keepsLength = command != Item::RS;
                const bool usesPos = command != Item::CL && command != Item::LCL;
                if ((keepsLength && program.phrase().size() != phrase.size())
                    || (usesPos && std::size_t(form.state().Pos) != phrase.size() + 1)
                    || program.clipboard() != program.phrase())
                    benchFailed("%s did not run over the whole phrase", nameOf(command).c_str());
                if (size >= 2) {
                    const double growth = nsPerChar(r.ms[size].best, size) / nsPerChar(r.ms[size - 2].best, size - 2);
                    if (growth > kMaxHundredfold) {
                        char why[160];
                        std::snprintf(why, sizeof why, "%.0fx per character from %s to %s", growth,
                                      power(size - 2).c_str(), power(size).c_str());
                        r.notLinear = why;
                    }
                }
            }
        }
    }

    std::printf("| command | text | ms at %s |", power(last).c_str());
    for (std::size_t size = 0; size < sizes; ++size)
        std::printf(size == 0 ? " ns/char at %s |" : " %s |", power(size).c_str());
    std::printf(" x copy at %s | growth %s to %s | from medians |\n|---|---|---:|", power(last).c_str(),
                power(last - 1).c_str(), power(last).c_str());
    for (std::size_t size = 0; size < sizes; ++size)
        std::printf("---:|");
    std::printf("---:|---:|---:|\n| plain copy | words | %.3f |", copyMs[last].best);
    for (std::size_t size = 0; size < sizes; ++size)
        std::printf(" %.3f |", nsPerChar(copyMs[size].best, size));
    std::printf(" 1 | %.2f | %.2f |\n", nsPerChar(copyMs[last].best, last) / nsPerChar(copyMs[last - 1].best, last - 1),
                nsPerChar(copyMs[last].median, last) / nsPerChar(copyMs[last - 1].median, last - 1));

    double maxGrowth = 0.0, maxMedianGrowth = 0.0, slowest = 0.0;
    std::string slowestName, maxGrowthName;
    bool allMet = true;
    for (const Row& r : rows) {
        const std::string name = nameOf(r.command) + ", " + r.textName;
        std::printf("| %s | %s |", nameOf(r.command).c_str(), r.textName);
        if (r.ms.size() == sizes)
            std::printf(" %.2f |", r.ms[last].best);
        else
            std::printf(" - |");
        for (std::size_t size = 0; size < sizes; ++size) {
            if (size < r.ms.size())
                std::printf(" %.2f |", nsPerChar(r.ms[size].best, size));
            else
                std::printf(" - |");
        }
        if (!r.notLinear.empty()) {
            allMet = false;
            std::printf(" - | MISSED: %s | - |\n", r.notLinear.c_str());
            continue;
        }
        const double growth = nsPerChar(r.ms[last].best, last) / nsPerChar(r.ms[last - 1].best, last - 1);
        const double medianGrowth = nsPerChar(r.ms[last].median, last) / nsPerChar(r.ms[last - 1].median, last - 1);
        allMet = allMet && growth <= kMaxGrowth;
        if (growth > maxGrowth) {
            maxGrowth = growth;
            maxGrowthName = name;
        }
        maxMedianGrowth = std::max(maxMedianGrowth, medianGrowth);
        if (r.ms[last].best > slowest) {
            slowest = r.ms[last].best;
            slowestName = name;
        }
        std::printf(" %.0f | %.2f%s | %.2f |\n", r.ms[last].best / copyMs[last].best, growth,
                    growth <= kMaxGrowth ? "" : " MISSED", medianGrowth);
    }
    std::printf("\nLinear (cost per character at %s at most %.1fx the one at %s, and never %.0fx over a hundredfold "
                "length): %s\n",
                power(last).c_str(), kMaxGrowth, power(last - 1).c_str(), kMaxHundredfold, allMet ? "met" : "MISSED");
    std::printf("summary: growth %.2f (%s); from medians %.2f; slowest %.2f ms (%s) at %s\n", maxGrowth,
                maxGrowthName.c_str(), maxMedianGrowth, slowest, slowestName.c_str(), power(last).c_str());
    return allMet ? 0 : 1;
}
