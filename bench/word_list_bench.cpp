// SPDX-License-Identifier: MIT
// Word-list speed and memory: counting at start-up, fetching the middle item and a whole
// "Words (10)" against `wc -l` on the same file in the same run, and peak memory against list
// size. Each time is the best of several runs; "Words (10)" and `wc -l` also give their median.
// Prints a Markdown table (with --csv, comma-separated figures in full precision for
// bench/report.sh); exits 1 when a target is missed.
//   word_list_bench [--max-lines N] [--csv] [--rss FILE-FOLDER]
#include "bench_lists.h"
#include "bench_platform.h"
#include "bench_support.h"
#include "platform/text.h"
#include "words/word_list.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// Wall time of one run of `argv`, in milliseconds.
double runProcess(std::vector<const char*> argv)
{
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const bool spawned =
        posix_spawnp(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv.data()), environ) == 0;
    int status = 0;
    if (spawned)
        waitpid(pid, &status, 0);
    const double ms = msSince(start);
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        benchFailed("%s did not run", argv[0]);
    return ms;
}

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Child mode: start up on the list in `folder` and make one "Words (10)"; print peak RSS.
int rssMode(const std::string& folder)
{
    timeWords10(fromSystemUtf8(folder));
    std::printf("%ld\n", peakRssKiB());
    return 0;
}

long childRss(const char* self, const std::string& folder)
{
    const std::string command = std::string(self) + " --rss '" + folder + "'";
    FILE* pipe = popen(command.c_str(), "r");
    long kib = -1;
    if (pipe && std::fscanf(pipe, "%ld", &kib) != 1)
        kib = -1;
    if (pipe)
        pclose(pipe);
    return kib;
}

} // namespace

int main(int argc, char* argv[])
{
    std::int64_t maxLines = 10000000;
    bool csv = false;
    for (int i = 1; i < argc; ++i)
        csv = csv || std::strcmp(argv[i], "--csv") == 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--rss") == 0)
            return rssMode(argv[i + 1]);
        if (std::strcmp(argv[i], "--max-lines") == 0)
            maxLines = std::atoll(argv[i + 1]);
    }
    const ScratchFolder scratch;
    bool allMet = true;
    if (csv) {
        std::printf("lines,wc_ms,count_ms,fetch_ms,words10_ms,peak_rss_kib,words10_median_ms,wc_median_ms\n");
    } else {
        std::printf("| lines | wc -l ms | count ms | count / wc | middle fetch ms | fetch / wc | Words (10) ms | Words "
                    "(10) / wc | peak RSS KiB |\n");
        std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    }
    for (std::int64_t lines = 10; lines <= maxLines; lines *= 10) {
        const std::filesystem::path folderPath = scratch.path() / std::to_string(lines);
        std::filesystem::create_directory(folderPath);
        const std::string folder = folderPath.string();
        const std::string path = (folderPath / "Words.TxT").string();
        writeList(path, lines);
        const int runs = lines >= 1000000 ? 7 : 21;

        runProcess({"wc", "-l", path.c_str()}); // warm the page cache
        const Spread spawn = spreadOf(runs, [] { return runProcess({"true"}); });
        const Spread wcRuns = spreadOf(runs, [&] { return runProcess({"wc", "-l", path.c_str()}); });
        const double wc = std::max(0.001, wcRuns.best - spawn.best);
        const double wcMedian = std::max(0.001, wcRuns.median - spawn.median);

        BenchPlatform platform(fromSystemUtf8(folder));
        FormState state;
        const double count = spreadOf(runs, [&] { return timeMs([&] { CountWords(state, platform); }); }).best;
        if (state.Total != lines)
            benchFailed("counted %d of %lld lines", int(state.Total), static_cast<long long>(lines));
        state.Pick = double(lines / 2);
        const double fetch = spreadOf(runs, [&] { return timeMs([&] { FetchWord(state, platform); }); }).best;
        if (state.Pos != lines / 2)
            benchFailed("fetch stopped at %d", int(state.Pos));

        const Spread words10Runs = spreadOf(runs, [&] { return timeWords10(fromSystemUtf8(folder)); });
        const double words10 = words10Runs.best;
        const long rss = childRss(argv[0], folder);
        if (csv)
            std::printf("%lld,%.6f,%.6f,%.6f,%.6f,%ld,%.6f,%.6f\n", static_cast<long long>(lines), wc, count, fetch,
                        words10, rss, words10Runs.median, wcMedian);
        else
            std::printf("| %lld | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %ld |\n",
                        static_cast<long long>(lines), wc, count, count / wc, fetch, fetch / wc, words10, words10 / wc,
                        rss);
        if (lines == 10000000) {
            const bool met = count <= 2 * wc && fetch <= wc && words10 <= 8 * wc;
            if (!csv)
                std::printf("\nAt 10,000,000 lines: count %.2fx wc -l (target 2x), middle fetch %.2fx (target 1x), "
                            "Words (10) %.2fx (target 8x; median %.2fx the median wc -l): %s\n",
                            count / wc, fetch / wc, words10 / wc, words10Runs.median / wcMedian,
                            met ? "met" : "MISSED");
            allMet = allMet && met;
        }
    }
    return allMet ? 0 : 1;
}
