// SPDX-License-Identifier: MIT
// Speed of the six "Change Tex" commands on phrases of 10^4 to 10^7 characters, each chosen
// through the menu exactly as in the program (change handler and clipboard mirror included),
// beside a plain copy of the same phrase timed in the same run. Linearity is judged on the cost
// per character from 10^6 to 10^7, where phrase, copies and result are all past the processor's
// own caches: a linear command keeps about the same cost, one that re-reads or regrows the phrase
// per character pays ten times as much. (Against 10^4, whose few kilobytes stay in the fastest
// cache, a linear command looked up to ten times dearer per character on a quiet machine.)
// Prints a Markdown table; exits 1 when a command's cost per character at 10^7 is more than
// 3 times its cost at 10^6 (a command that handles each character in constant time stays well under
// 2; one that re-reads the phrase for each character comes near 10).
//   edit_bench [--runs N]
#include "app/form1.h"
#include "fake_platform.h"
#include "ui/window_description.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr qsizetype kLengths[] = {10000, 100000, 1000000, 10000000};
constexpr std::size_t kJudgedFrom = 2; // 10^6: the smallest length judged, past the caches
constexpr double kMaxGrowth = 3.0;

// Best time of one call of `work`, in milliseconds. Short calls are repeated until a batch
// lasts a few milliseconds, so the timer's resolution does not count; `prepare` runs before
// each batch, untimed.
double bestMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    int reps = 1;
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < reps; ++i)
            work();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        best = std::min(best, ms / reps);
        if (ms < 5.0 && reps < (1 << 20)) {
            reps *= 2;
            --run; // a batch that was too short does not count as a run
        }
    }
    return best;
}

// `length` characters of words and single spaces, a line feed now and then, and a few
// non-ASCII letters, like a long phrase with line breaks pasted from elsewhere.
QString wordsText(qsizetype length)
{
    static const char16_t* const words[] = {u"abacus", u"Dove", u"kettle", u"straße", u"λόγος", u"oak", u"İzmir",
                                            u"zen", u"quintuple", u"𐐨𐐩"};
    QString text;
    text.reserve(length + 16);
    for (qsizetype i = 0; text.size() < length; ++i) {
        text += QStringView(words[i % 10]);
        text += i % 13 == 12 ? u'\n' : u' ';
    }
    text.truncate(length);
    return text;
}

// The hardest case for every command: a one-letter word after every space.
QString spacedText(qsizetype length)
{
    QString text;
    text.reserve(length);
    while (text.size() < length)
        text += QStringView(u"a ");
    text.truncate(length);
    return text;
}

struct Row
{
    Item command;
    const char* textName;
    std::vector<double> ms;
    std::vector<double> multiple;
};

QByteArray nameOf(Item item)
{
    return QString::fromUtf16(WindowDescription::menuRow(item).name).toLatin1();
}

} // namespace

int main(int argc, char* argv[])
{
    int runs = 5;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--runs") == 0)
            runs = std::max(1, QByteArray(argv[i + 1]).toInt());
    }
    const Item commands[] = {Item::CL, Item::LCL, Item::CLF, Item::RS, Item::AD, Item::ADd};
    const std::pair<const char*, QString (*)(qsizetype)> texts[] = {{"words", wordsText}, {"a a a", spacedText}};

    std::vector<double> copyMs;
    std::vector<Row> rows;
    for (const auto& [textName, makeText] : texts) {
        for (const Item command : commands)
            rows.push_back({command, textName, {}, {}});
    }
    for (const qsizetype length : kLengths) {
        std::size_t row = 0;
        for (const auto& [textName, makeText] : texts) {
            const QString phrase = makeText(length);
            // The baseline: a fresh copy of the phrase, allocation included.
            QString copy;
            const double baseline = bestMs(runs, [] {}, [&] { copy = QString(phrase.constData(), phrase.size()); });
            if (copy != phrase)
                qFatal("the baseline copy differs");
            if (row == 0)
                copyMs.push_back(baseline);
            for (const Item command : commands) {
                std::unique_ptr<FakePlatform> fake;
                std::unique_ptr<Form1> form;
                // A fresh program per batch, so the double's record of writes stays small.
                const auto prepare = [&] {
                    form.reset();
                    fake = std::make_unique<FakePlatform>();
                    form = std::make_unique<Form1>(*fake);
                };
                const double ms = bestMs(runs, prepare, [&] {
                    fake->setPhraseText(phrase);
                    fake->choose(command);
                });
                const bool keepsLength = command != Item::RS;
                const bool usesPos = command != Item::CL && command != Item::LCL;
                if ((keepsLength && fake->phraseText().size() != phrase.size())
                    || (usesPos && form->state().Pos != phrase.size() + 1))
                    qFatal("%s did not run over the whole phrase", nameOf(command).constData());
                rows[row].ms.push_back(ms);
                rows[row].multiple.push_back(ms / baseline);
                ++row;
            }
        }
    }

    const auto nsPerChar = [](double ms, std::size_t size) { return ms * 1e6 / double(kLengths[size]); };
    const std::size_t last = std::size(kLengths) - 1;
    std::printf("| command | text | ms at 10^7 | ns/char at 10^4 | 10^5 | 10^6 | 10^7 | x copy at 10^4 | 10^5 | 10^6 "
                "| 10^7 | ns/char growth 10^6 to 10^7 |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    std::printf("| plain copy | words | %.3f | %.3f | %.3f | %.3f | %.3f | 1 | 1 | 1 | 1 | %.2f |\n", copyMs[last],
                nsPerChar(copyMs[0], 0), nsPerChar(copyMs[1], 1), nsPerChar(copyMs[2], 2), nsPerChar(copyMs[3], 3),
                nsPerChar(copyMs[last], last) / nsPerChar(copyMs[kJudgedFrom], kJudgedFrom));
    bool allMet = true;
    for (const Row& row : rows) {
        const double growth = nsPerChar(row.ms[last], last) / nsPerChar(row.ms[kJudgedFrom], kJudgedFrom);
        allMet = allMet && growth <= kMaxGrowth;
        std::printf("| %s | %s | %.2f | %.2f | %.2f | %.2f | %.2f | %.0f | %.0f | %.0f | %.0f | %.2f%s |\n",
                    nameOf(row.command).constData(), row.textName, row.ms[last], nsPerChar(row.ms[0], 0),
                    nsPerChar(row.ms[1], 1), nsPerChar(row.ms[2], 2), nsPerChar(row.ms[3], 3), row.multiple[0],
                    row.multiple[1], row.multiple[2], row.multiple[3], growth, growth <= kMaxGrowth ? "" : " MISSED");
    }
    std::printf("\nLinear (cost per character at 10^7 at most %.1fx the one at 10^6): %s\n", kMaxGrowth,
                allMet ? "met" : "MISSED");
    return allMet ? 0 : 1;
}
