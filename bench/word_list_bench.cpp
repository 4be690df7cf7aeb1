// SPDX-License-Identifier: MIT
// Word-list speed and memory: counting at start-up, fetching the middle item and a whole
// "Words (10)" against `wc -l` on the same file in the same run, and peak memory against list
// size. Each time is the best of several runs; "Words (10)" and `wc -l` also give their median.
// Prints a Markdown table (with --csv, comma-separated figures in full precision for
// bench/report.sh); exits 1 when a target is missed.
//   word_list_bench [--max-lines N] [--csv] [--rss FILE-FOLDER]
#include "app/form1.h"
#include "bench_lists.h"
#include "fake_platform.h"
#include "words/word_list.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// Wall time of one run of `argv`, in milliseconds.
double runProcess(std::vector<const char*> argv)
{
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv.data()), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    posix_spawn_file_actions_destroy(&actions);
    return ms;
}

// The best and the median of `runs` runs: the best is what the code can do, the distance to the
// median how much the machine's other work moved it.
struct Spread
{
    double best;
    double median;
};

Spread spreadOf(int runs, const std::function<double()>& once)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(once());
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

double bestOf(int runs, const std::function<double()>& once)
{
    return spreadOf(runs, once).best;
}

double timeMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Child mode: start up on the list in `folder` and make one "Words (10)"; print peak RSS.
int rssMode(const QString& folder)
{
    FakePlatform platform;
    platform.useRealFolder(folder);
    Form1 form(platform);
    form.load();
    platform.choose(Item::W10);
    std::printf("%ld\n", peakRssKiB());
    return platform.phraseText().count(u' ') == 9 ? 0 : 1;
}

long childRss(const char* self, const QString& folder)
{
    const QByteArray folderBytes = QFile::encodeName(folder);
    const QByteArray command = QByteArray(self) + " --rss '" + folderBytes + "'";
    FILE* pipe = popen(command.constData(), "r");
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
    qint64 maxLines = 10000000;
    bool csv = false;
    for (int i = 1; i < argc; ++i)
        csv = csv || qstrcmp(argv[i], "--csv") == 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--rss") == 0)
            return rssMode(QString::fromLocal8Bit(argv[i + 1]));
        if (qstrcmp(argv[i], "--max-lines") == 0)
            maxLines = QByteArray(argv[i + 1]).toLongLong();
    }
    QTemporaryDir scratch;
    bool allMet = true;
    if (csv) {
        std::printf("lines,wc_ms,count_ms,fetch_ms,words10_ms,peak_rss_kib,words10_median_ms,wc_median_ms\n");
    } else {
        std::printf("| lines | wc -l ms | count ms | count / wc | middle fetch ms | fetch / wc | Words (10) ms | Words (10) / wc | peak RSS KiB |\n");
        std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    }
    for (qint64 lines = 10; lines <= maxLines; lines *= 10) {
        const QString folder = scratch.filePath(QString::number(lines));
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/Words.TxT");
        writeList(path, lines);
        const QByteArray pathBytes = QFile::encodeName(path);
        const int runs = lines >= 1000000 ? 7 : 21;

        runProcess({"wc", "-l", pathBytes.constData()}); // warm the page cache
        const Spread spawn = spreadOf(runs, [] { return runProcess({"true"}); });
        const Spread wcRuns = spreadOf(runs, [&] { return runProcess({"wc", "-l", pathBytes.constData()}); });
        const double wc = std::max(0.001, wcRuns.best - spawn.best);
        const double wcMedian = std::max(0.001, wcRuns.median - spawn.median);

        FakePlatform platform;
        platform.useRealFolder(folder);
        FormState state;
        const double count = bestOf(runs, [&] { return timeMs([&] { CountWords(state, platform); }); });
        if (state.Total != lines)
            qFatal("counted %d of %lld lines", state.Total, lines);
        state.Pick = double(lines / 2);
        const double fetch = bestOf(runs, [&] { return timeMs([&] { FetchWord(state, platform); }); });
        if (state.Pos != lines / 2)
            qFatal("fetch stopped at %d", state.Pos);

        // "Words (10)" as the user meets it: the start-up count, then ten random fetches.
        const Spread words10Runs = spreadOf(runs, [&] {
            FakePlatform program;
            program.useRealFolder(folder);
            Form1 form(program);
            return timeMs([&] {
                form.load();
                program.choose(Item::W10);
            });
        });
        const double words10 = words10Runs.best;
        const long rss = childRss(argv[0], folder);
        if (csv)
            std::printf("%lld,%.6f,%.6f,%.6f,%.6f,%ld,%.6f,%.6f\n", lines, wc, count, fetch, words10, rss,
                        words10Runs.median, wcMedian);
        else
            std::printf("| %lld | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %ld |\n", lines, wc, count,
                        count / wc, fetch, fetch / wc, words10, words10 / wc, rss);
        if (lines == 10000000) {
            const bool met = count <= 2 * wc && fetch <= wc && words10 <= 8 * wc;
            if (!csv)
                std::printf("\nAt 10,000,000 lines: count %.2fx wc -l (target 2x), middle fetch %.2fx (target 1x), "
                            "Words (10) %.2fx (target 8x; median %.2fx the median wc -l): %s\n",
                            count / wc, fetch / wc, words10 / wc, words10Runs.median / wcMedian, met ? "met" : "MISSED");
            allMet = allMet && met;
        }
    }
    return allMet ? 0 : 1;
}
