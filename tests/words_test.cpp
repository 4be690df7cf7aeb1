// SPDX-License-Identifier: MIT
// The word list, the random draw, the generation commands and the counter, through the double.
#include "fixture.h"
#include "reference_reader.h"
#include "system/system_random.h"
#include "words/item_reader.h"
#include "words/ordinal_draw.h"
#include "words/word_list.h"

#include "platform/text.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>
#if defined(__linux__)
#include <cerrno>
#include <sys/random.h>
#endif

using namespace std::string_literals;

namespace {

const std::string mark = "\xEF\xBB\xBF"; // UTF-8's byte-order mark

template <typename Text>
Text repeated(const Text& text, int times)
{
    Text all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

// --- Reading the list: every item counted, fetched and decoded alike ---------------------------

struct ListCase
{
    const char* name;
    std::string file;
    std::vector<std::u16string> items;
};

// clang-format off
const ListCase lists[] = {
    {"three lines", "alpha\nbeta\ngamma\n", {u"alpha", u"beta", u"gamma"}},
    {"no final line end", "alpha\nbeta", {u"alpha", u"beta"}},
    {"CRLF", "alpha\r\nbeta\r\n", {u"alpha", u"beta"}},
    {"lone CR", "alpha\rbeta\rgamma", {u"alpha", u"beta", u"gamma"}},
    {"empty lines skipped", "\n\nalpha\n\n\nbeta\n\n", {u"alpha", u"beta"}},
    {"blanks kept", "  alpha \n beta  \n", {u"  alpha ", u" beta  "}},
    {"commas and quotes are text", "a,b\n\"c\"\n", {u"a,b", u"\"c\""}},
    {"empty file", "", {}},
    {"only line ends", "\r\n\n\r\r\n", {}},
    {"UTF-8 of every length, noncharacters too",
     "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x94\x91\n\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xB7\x90\n",
     {u"\u00E9\u20AC\U0001F511", u"\uFFFE\uFFFF\uFDD0"}},
    {"Windows-1252 where not UTF-8", "caf\xE9\n\x80uro\xC3\xA9\n", {u"caf\u00E9", u"\u20ACuro\u00C3\u00A9"}},
    // Stray continuation, overlong forms, a surrogate, past U+10FFFF, a sequence cut short by
    // the line end, leads that begin nothing: each item on its own falls back to Windows-1252.
    {"invalid UTF-8 of every kind",
     "a\x80" "b\n\xC0\xAF\n\xE0\x80\xAF\n\xED\xA0\x80\n\xF4\x90\x80\x80\nab\xC3\n\xF5\x80\n\xFF\xFE\nok\n",
     {u"a\u20AC" u"b", u"\u00C0\u00AF", u"\u00E0\u20AC\u00AF", u"\u00ED\u00A0\u20AC", u"\u00F4\u0090\u20AC\u20AC",
      u"ab\u00C3", u"\u00F5\u20AC", u"\u00FF\u00FE", u"ok"}},
    {"UTF-16LE", "\xFF\xFE" "a\0b\0\n\0\xC3\x03\r\0\n\0"s, {u"ab", u"\u03C3"}},
    {"UTF-16BE", "\xFE\xFF\0a\0b\0\r\x03\xC3"s, {u"ab", u"\u03C3"}},
    {"UTF-16 with a 0x0A00 unit is no line end", "\xFF\xFE\0\x0A" "a\0"s, {u"\u0A00a"}},
    {"UTF-16 halves of pairs replaced", "\xFF\xFE" "a\0\x3D\xD8\n\0\x11\xDD" "b\0\x3D\xD8\x3D\xD8\x11\xDD"s,
     {u"a\uFFFD", u"\uFFFD" u"b\uFFFD\U0001F511"}},
    // Without a mark, half the units or more with a zero high byte and none with a zero low one.
    {"UTF-16LE without a mark", "a\0b\0\n\0\xC3\x03\r\0\n\0"s, {u"ab", u"\u03C3"}},
    {"UTF-16BE without a mark", "\0a\0b\0\r\x03\xC3"s, {u"ab", u"\u03C3"}},
    {"zero bytes on both sides stay 8-bit", "\0\0a\0\nb"s, {u"\0\0a\0"s, u"b"}},
    {"4-byte character across byte 4,096 cut whole", "a" + repeated("\xF0\x9F\x94\x91"s, 1024) + "\n",
     {u"a" + repeated(u"\U0001F511"s, 1023)}},
    {"what lies past byte 4,096 is not decoded",
     std::string(4096, 'a') + "\xFF\n" + std::string(4095, 'a') + "\xC3\xA9\n",
     {std::u16string(4096, u'a'), std::u16string(4095, u'a')}},
    {"UTF-16 pair across unit 4,096 cut whole", "\xFF\xFE" "a\0"s + repeated("\x3D\xD8\x11\xDD"s, 2048),
     {u"a" + repeated(u"\U0001F511"s, 2047)}},
    {"runaway line cut, one item", "first\n" + repeated("\xC3\xA9"s, 1 << 16) + "\nlast\n",
     {u"first", std::u16string(ItemReader::MaxItemUnits / 2, u'\u00E9'), u"last"}},
    // UTF-8 byte-order marks open the lines of lists joined with `cat`: skipped at the start of
    // every line, a line of nothing else is empty, and a mark elsewhere is part of its item.
    {"first item of a marked list", mark + "alpha\nbeta\n", {u"alpha", u"beta"}},
    {"mark then a line end", mark + "\nalpha\n", {u"alpha"}},
    {"lists joined with cat", mark + "alpha\r\n" + mark + "beta\n" + mark + "\n" + mark + mark + "gamma\r" + mark,
     {u"alpha", u"beta", u"gamma"}},
    {"mark before Windows-1252", "a\n" + mark + "caf\xE9\n", {u"a", u"caf\u00E9"}},
    {"mark not counted in the cut", "x\n" + mark + std::string(4100, 'b') + "\n",
     {u"x", std::u16string(4096, u'b')}},
    {"mark inside an item, or half a mark", "al" + mark + "pha\n\xEF\xBB" "b\n\xEF\xBB",
     {u"al\uFEFFpha", u"\u00EF\u00BB" u"b", u"\u00EF\u00BB"}},
};
// clang-format on

using Reader = FormRowTest<ListCase>;

TEST_P(Reader, CountsFetchesAndDecodesEachItemAlike)
{
    const ListCase& c = GetParam();
    const auto total = int(c.items.size());
    for (const std::int64_t chunk : {1, 3, 1 << 20}) {
        m_fake->setWordList(c.file);
        m_fake->setReadChunk(chunk);
        // Past the end, a fetch gives the last item (the list got shorter since the count), and
        // none where there is none.
        for (int i = 1; i <= total + 1; ++i) {
            state().Word = u"before";
            state().Pick = double(i);
            FetchWord(state(), *m_fake);
            const int pos = std::min(i, total);
            EXPECT_EQ(state().Word, pos > 0 ? c.items[std::size_t(pos - 1)] : u"before")
                << "item " << i << ", chunk " << chunk;
            EXPECT_EQ(state().Pos, pos);
        }
        CountWords(state(), *m_fake);
        EXPECT_EQ(state().Total, total);
        EXPECT_EQ(state().Pos, total);
        EXPECT_EQ(state().Word, total > 0 ? c.items.back() : u"before");
        EXPECT_EQ(m_fake->openFiles(), 0);
    }
    // Blocks this small put a boundary inside every mark, line end and character somewhere.
    for (std::ptrdiff_t block = 16; block <= 40; ++block) {
        const auto file = m_fake->openForInput(wordListPath(*m_fake));
        ItemReader reader(*file, block);
        for (const std::u16string& item : c.items) {
            std::u16string read;
            ASSERT_EQ(reader.readItems(1, &read), 1) << "block " << block;
            EXPECT_EQ(read, item) << "block " << block;
        }
        EXPECT_EQ(reader.readItems(1, nullptr), 0) << "block " << block;
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, Reader, ::testing::ValuesIn(lists), RowName());

TEST_F(FormTest, ReaderAgreesWithTheReferenceAcrossBlockBoundaries)
{
    // Random mixes of short items, every kind of line end and marks, whole or cut, read in blocks
    // and chunks small enough that items, CRLF pairs, marks and the reader's 256-unit counting
    // steps straddle every boundary.
    std::mt19937 random(20261207);
    const auto below = [&random](std::int64_t n) { return std::int64_t(random() % std::uint32_t(n)); };
    const std::string pieces[] = {"a", "b", "\n", "\r", "\n", "\r\n", " ", "xyz", mark, "\xEF", "\xEF\xBB"};
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        const std::int64_t size = below(round < 200 ? 300 : 3000);
        while (std::int64_t(bytes.size()) < size)
            bytes += pieces[below(std::size(pieces))];
        const std::vector<ReferenceItem> expected = referenceItems(bytes);
        const auto total = std::int64_t(expected.size());
        m_fake->setWordList(bytes);
        m_fake->setReadChunk(1 + below(round < 200 ? 40 : 4000));
        const std::ptrdiff_t blockSize = 16 + below(round < 200 ? 50 : 2000);
        std::vector<std::int64_t> ordinals{1, total, total + 1};
        for (int i = 0; i < 40; ++i)
            ordinals.push_back(1 + below(total + 1));
        for (const std::int64_t ordinal : ordinals) {
            const auto file = m_fake->openForInput(wordListPath(*m_fake));
            ItemReader reader(*file, blockSize);
            reader.countLines();
            std::u16string item = u"untouched";
            const std::int64_t read = reader.readItems(ordinal, &item);
            ASSERT_EQ(read, std::min(ordinal, total)) << "round " << round;
            EXPECT_EQ(item, total == 0 ? u"untouched" : expected[read - 1].text) << "round " << round;
            if (read > 0) {
                EXPECT_EQ(reader.lineOfLastItem(), expected[read - 1].line) << "round " << round;
            }
        }
        const auto file = m_fake->openForInput(wordListPath(*m_fake));
        ItemReader reader(*file, blockSize);
        EXPECT_EQ(reader.readItems(1, nullptr) + reader.readItems(1000, nullptr), total) << "round " << round;
    }
}

// --- Failures -----------------------------------------------------------------------------------

TEST_F(FormTest, MissingListAtStartUpShowsMessageAndEndsWithStatus1)
{
    m_form->load();
    ASSERT_EQ(m_fake->messages().size(), 1u);
    EXPECT_EQ(m_fake->messages()[0].prompt, u"Error Words.TxT File Missing");
    EXPECT_EQ(m_fake->messages()[0].title, u"Quorbel_Words");
    EXPECT_EQ(m_fake->messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(m_fake->hasEnded());
    EXPECT_EQ(m_fake->exitStatus(), 1);
    EXPECT_EQ(state().Total, 0);
    // Nothing runs after the end: not a command, not the unload event.
    m_fake->choose(Item::W1);
    m_fake->requestClose();
    EXPECT_TRUE(m_fake->phraseWrites().empty());
    EXPECT_EQ(m_fake->messages().size(), 1u);
}

// clang-format off
enum class Failure { Empty, UnreadableAtStartUp, TooLong, Unreadable, ReadFails, Emptied, Shortened, RandomSource,
                     Untypeable, Zeros, MarkInItem, Close, Missing };
// clang-format on

struct FailureCase
{
    const char* name;
    Failure failure;
    int failingWord;
    std::u16string prompt;
    bool mendedByFixingTheList;
};

const std::u16string noPhrase = u", so no phrase was made.\r\n";
const std::u16string restart = u", then start Lexitrove again.";
const std::u16string emptyPrompt =
    u"Words.TxT holds no words" + noPhrase + u"Put one word on each line of Words.TxT" + restart;

std::u16string unreadablePrompt(const std::u16string& reason)
{
    return u"Words.TxT cannot be read (" + reason + u")" + noPhrase + u"Make Words.TxT a file you may read" + restart;
}

std::u16string untypeablePrompt(const std::u16string& line, const std::u16string& what)
{
    return u"Line " + line + u" of Words.TxT holds " + what + u", which cannot be typed" + noPhrase
        + u"Correct or delete line " + line + u" of Words.TxT" + restart;
}

// clang-format off
const FailureCase failureCases[] = {
    // Start-up counts quietly; Total stays 0 and every command says why, until a restart.
    {"empty at start-up", Failure::Empty, 1, emptyPrompt, false},
    {"unreadable at start-up", Failure::UnreadableAtStartUp, 1, unreadablePrompt(u"scripted failure"), false},
    {"too long at start-up", Failure::TooLong, 1,
     u"Words.TxT holds more than 2,147,483,647 words, more than Lexitrove can count" + noPhrase + u"Use a shorter list" + restart,
     false},
    // After start-up the list is read again for every word; once it is mended, commands work.
    {"unreadable at word 2", Failure::Unreadable, 2, unreadablePrompt(u"scripted failure"), true},
    {"read fails half way", Failure::ReadFails, 1, unreadablePrompt(u"Device I/O error"), true},
    {"emptied", Failure::Emptied, 1, emptyPrompt, true},
    {"shortened, word 3", Failure::Shortened, 3,
     u"Words.TxT got shorter since Lexitrove started" + noPhrase + u"Start Lexitrove again to use Words.TxT as it is now.", true},
    {"no random bits, word 3", Failure::RandomSource, 3,
     u"The system gave no random numbers (Function not implemented)" + noPhrase + u"Try again; Lexitrove makes no phrase without them.",
     true},
    // A drawn item that cannot be typed: the message names the line of the file, where empty
    // lines, lines of a mark alone and CRLF count as an editor counts them.
    {"TAB in word 3", Failure::Untypeable, 3, untypeablePrompt(u"4", u"a control character (U+0009)"), true},
    {"a list of zero bytes", Failure::Zeros, 1, untypeablePrompt(u"1", u"a control character (U+0000)"), true},
    {"byte-order mark inside word 3", Failure::MarkInItem, 3, untypeablePrompt(u"5", u"a byte-order mark (U+FEFF)"), true},
    // Asked to close during a read: the command stops without a phrase and says nothing, for the
    // window closes next.
    {"close asked, word 2", Failure::Close, 2, u"", true},
    // A missing list still ends the program, but not before the words drawn so far are gone.
    {"missing at word 2", Failure::Missing, 2, u"Error Words.TxT File Missing", false},
};
// clang-format on

using WordFailure = FormRowTest<FailureCase>;

TEST_P(WordFailure, GivesNoPhraseAndSaysWhy)
{
    const FailureCase& c = GetParam();
    m_fake->setWordLines({u"alpha", u"beta", u"gamma"});
    if (c.failure == Failure::Empty)
        m_fake->setWordList("");
    if (c.failure == Failure::UnreadableAtStartUp)
        m_fake->setOpenError(ErrorNumber::PermissionDenied);
    if (c.failure == Failure::Zeros)
        m_fake->setWordList(std::string(100000, '\0'));
    if (c.failure == Failure::TooLong)
        CountWords(state(), *m_fake, 2);
    else
        m_form->load();
    EXPECT_TRUE(m_fake->messages().empty()); // start-up itself stays quiet
    m_fake->setOpenError(0);

    // The words before the failing one are drawn from the start of the list.
    m_fake->queueDraws({0.1, 0.1});
    if (c.failure == Failure::Unreadable)
        m_fake->setOpenError(ErrorNumber::PermissionDenied, 1);
    if (c.failure == Failure::Missing)
        m_fake->setOpenError(ErrorNumber::FileNotFound, 1);
    if (c.failure == Failure::ReadFails)
        m_fake->failReadsAfter(3);
    if (c.failure == Failure::Emptied)
        m_fake->setWordList("");
    if (c.failure == Failure::Shortened) {
        m_fake->setWordLines({u"alpha"});
        m_fake->queueDraws({0.9});
    }
    if (c.failure == Failure::Close) { // the first word takes two reads (its bytes, then the end)
        m_fake->queueDuringRead([] {});
        m_fake->queueDuringRead([] {});
        m_fake->queueDuringRead([this] { m_fake->askToCloseDuringRead(); });
    }
    if (c.failure == Failure::Untypeable) {
        m_fake->setWordList("alpha\n\nbeta\r\nga\tmma\n");
        m_fake->queueDraws({0.9});
    }
    if (c.failure == Failure::MarkInItem) { // a line of a mark alone between CR and LF is a line too
        m_fake->setWordList(mark + "alpha\r" + mark + "\n\n" + mark + "beta\r\nga" + mark + "mma\n");
        m_fake->queueDraws({0.9});
    }
    if (c.failure == Failure::RandomSource)
        m_fake->failRandomBits(u"Function not implemented");
    m_fake->setPhraseText(u"old phrase");
    m_fake->setText(Box::Text3, u"old phrase");
    m_fake->choose(Item::W3);

    // The message came once, and by then nothing of the words drawn before it could be pasted,
    // nor was anything of a phrase left in the scratch box.
    ASSERT_EQ(m_fake->messages().size(), c.prompt.empty() ? 0u : 1u);
    if (!c.prompt.empty()) {
        const FakePlatform::Message& message = m_fake->messages()[0];
        EXPECT_EQ(message.prompt, c.prompt) << utf8(message.prompt);
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
        EXPECT_EQ(message.title, u"Quorbel_Words");
        EXPECT_EQ(message.phraseBox, u"");
        EXPECT_EQ(message.clipboard, u"");
    }
    EXPECT_EQ(m_fake->phraseText(), u"");
    EXPECT_EQ(m_fake->clipboard(), u"");
    EXPECT_EQ(m_fake->boxText(Box::Text3), u"");
    EXPECT_EQ(m_fake->caption(Item::CH), u"Charaters  0");
    // Emptied, one write per word drawn before the failing one, emptied again.
    ASSERT_EQ(m_fake->phraseWrites().size(), std::size_t(c.failingWord + 1));
    EXPECT_EQ(m_fake->phraseWrites()[std::size_t(c.failingWord - 1)], repeated(u"alpha "s, c.failingWord - 1));
    EXPECT_EQ(m_fake->openFiles(), 0);
    if (c.failure == Failure::Missing) {
        EXPECT_EQ(m_fake->exitStatus(), 1);
        return;
    }

    // The program goes on: with the list and the random source mended, the next command gives a
    // phrase where the list was fine at start-up, and the same message where it was not.
    EXPECT_FALSE(m_fake->hasEnded());
    m_fake->setWordLines({u"alpha", u"beta", u"gamma"});
    m_fake->setOpenError(0);
    m_fake->failReadsAfter(-1);
    m_fake->failRandomBits(u"");
    m_fake->choose(Item::W2);
    if (c.mendedByFixingTheList) {
        EXPECT_EQ(m_fake->messages().size(), c.prompt.empty() ? 0u : 1u);
        EXPECT_EQ(std::count(m_fake->phraseText().begin(), m_fake->phraseText().end(), u' '), 1);
    } else {
        ASSERT_EQ(m_fake->messages().size(), 2u);
        EXPECT_EQ(m_fake->messages().back().prompt, c.prompt);
        EXPECT_EQ(m_fake->phraseText(), u"");
    }
    EXPECT_EQ(m_fake->clipboard(), m_fake->phraseText());
}

INSTANTIATE_TEST_SUITE_P(Failures, WordFailure, ::testing::ValuesIn(failureCases), RowName());

TEST_F(FormTest, CountOverflowIsQuiet)
{
    m_fake->setWordLines({u"a", u"b", u"c", u"d", u"e"});
    CountWords(state(), *m_fake, 3);
    EXPECT_EQ(state().Total, 0); // not updated
    EXPECT_EQ(state().Pos, 3); // the count reached
    EXPECT_EQ(state().Word, u"d"); // the item whose count overflowed
    EXPECT_TRUE(m_fake->messages().empty());
    EXPECT_EQ(m_fake->openFiles(), 0);
    CountWords(state(), *m_fake, 5); // exactly at the limit is fine
    EXPECT_EQ(state().Total, 5);
}

TEST_F(FormTest, ReadFailureHalfWayKeepsWhatWasRead)
{
    // 30,000 items of about 10 bytes, and a disk that fails past the second 64 KiB block,
    // right after a line end: the count and the last item are those before the failure.
    std::string bytes;
    for (int i = 1; i <= 30000; ++i)
        bytes += "word" + std::to_string(i) + "\n";
    m_fake->setWordList(bytes);
    const std::size_t failAt = bytes.find('\n', 100000) + 1;
    const std::vector<ReferenceItem> before = referenceItems(bytes.substr(0, failAt));
    m_fake->failReadsAfter(std::int64_t(failAt));
    m_form->load();
    EXPECT_EQ(state().Total, 0); // never counted to the end
    EXPECT_EQ(state().Pos, int(before.size()));
    EXPECT_EQ(state().Word, before.back().text);
    EXPECT_TRUE(m_fake->messages().empty());
    EXPECT_EQ(m_fake->openFiles(), 0);

    state().Pick = 25000.0;
    FetchWord(state(), *m_fake);
    EXPECT_EQ(state().Pos, int(before.size()));
    EXPECT_EQ(state().Word, before.back().text);
    state().Pick = 3.0;
    FetchWord(state(), *m_fake);
    EXPECT_EQ(state().Word, u"word3");
}

// --- The draw ----------------------------------------------------------------------------------

struct DrawCase
{
    const char* name;
    std::int32_t total;
    std::vector<std::uint64_t> values;
    double pick;
};

// Ordinal k is the k-th of Total bands of floor(2^64 / Total) values each; the 2^64 mod Total
// values above the last band are drawn again.
constexpr std::uint64_t maxBits = ~std::uint64_t(0);
constexpr std::uint64_t tenth = 1844674407370955161u; // floor(2^64 / 10); 6 values left over
constexpr std::uint64_t band24 = 1099511562240u; // floor(2^64 / (2^24 + 1)); 65,536 left
constexpr std::uint64_t band31 = 8589934596u; // floor(2^64 / (2^31 - 1)); 4 left

// clang-format off
const DrawCase drawCases[] = {
    {"empty list draws nothing", 0, {}, 1.0},
    {"one item, largest value", 1, {maxBits}, 1.0},
    {"smallest of 10", 10, {0}, 1.0},
    {"end of band 1 of 10", 10, {tenth - 1}, 1.0},
    {"start of band 2 of 10", 10, {tenth}, 2.0},
    {"largest accepted of 10", 10, {maxBits - 6}, 10.0},
    {"rejected values of 10 drawn again", 10, {maxBits, maxBits - 5, 5 * tenth}, 6.0},
    {"2^24+1, odd", 16777217, {band24 * 2}, 3.0},
    {"2^24+1, even", 16777217, {band24}, 2.0},
    {"2^24+1, last", 16777217, {maxBits - 65536}, 16777217.0},
    {"2^24+1, rejected", 16777217, {maxBits - 65535, maxBits - 65536}, 16777217.0},
    {"2^31-1, even", 2147483647, {band31 * 2 - 1}, 2.0},
    {"2^31-1, odd", 2147483647, {band31 * 2}, 3.0},
    {"2^31-1, last", 2147483647, {maxBits - 4}, 2147483647.0},
    {"2^31-1, rejected", 2147483647, {maxBits, maxBits - 3, band31 * 1000}, 1001.0},
};
// clang-format on

using PickIndexDraw = FormRowTest<DrawCase>;

TEST_P(PickIndexDraw, MapsBitsToOrdinal)
{
    const DrawCase& c = GetParam();
    state().Total = c.total;
    m_fake->queueBits(c.values);
    PickIndex(state(), *m_fake);
    ASSERT_TRUE(state().Pick.has_value());
    EXPECT_EQ(*state().Pick, c.pick);
    EXPECT_EQ(m_fake->queuedBits(), 0u); // every rejected value was drawn again, no more
}

INSTANTIATE_TEST_SUITE_P(Bits, PickIndexDraw, ::testing::ValuesIn(drawCases), RowName());

TEST_F(FormTest, DrawsAreUniformOverALongList)
{
    // 100,000 draws from a list of 2^25 - 2 items, made from a fixed, well-mixed stream of 64-bit
    // values (splitmix64), so that the mapping alone is judged, the same way on every run. Ten
    // equal bands catch a skew across the list; split by odd and even ordinals, they also catch
    // a skew between neighbours, as a draw of 24 bits has (only even ordinals in the first half
    // of this list, only odd ones in the second). Chi-square exceeds 27.88 with 9 degrees of
    // freedom, and 43.82 with 19, with probability 0.001.
    constexpr int draws = 100000;
    constexpr std::int32_t total = 33554430;
    std::vector<std::uint64_t> values;
    std::uint64_t seed = 20261207;
    for (int i = 0; i < draws; ++i) {
        std::uint64_t z = (seed += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        values.push_back(z ^ (z >> 31));
    }
    m_fake->queueBits(values);
    state().Total = total;
    std::vector<int> bands(10), bandsByParity(20);
    for (int i = 0; i < draws; ++i) {
        PickIndex(state(), *m_fake);
        const double pick = *state().Pick;
        ASSERT_TRUE(pick >= 1.0 && pick <= total && pick == std::floor(pick)) << pick;
        const auto band = std::size_t((std::int64_t(pick) - 1) / (total / 10));
        ++bands[band];
        ++bandsByParity[2 * band + std::size_t(std::int64_t(pick) % 2)];
    }
    const auto chiSquare = [](const std::vector<int>& counts) {
        const double expected = double(draws) / double(counts.size());
        double sum = 0.0;
        for (const int count : counts)
            sum += (count - expected) * (count - expected) / expected;
        return sum;
    };
    EXPECT_LT(chiSquare(bands), 27.88);
    EXPECT_LT(chiSquare(bandsByParity), 43.82);
}

struct RandomSourceCase
{
    const char* name;
    std::uint64_t (*draw)();
};

const RandomSourceCase randomSources[] = {
    {"the kernel's", systemRandomBits},
#if defined(__linux__)
    // The kernel may give fewer bytes than asked for, or be interrupted by a signal: the rest is
    // asked for again, never left as it was.
    {"3 bytes a read",
     [] {
         return randomBitsFrom([](void* buffer, size_t size, unsigned int flags) {
             return ::getrandom(buffer, std::min<size_t>(size, 3), flags);
         });
     }},
    {"interrupted every other read",
     [] {
         return randomBitsFrom([](void* buffer, size_t, unsigned int flags) -> ssize_t {
             static bool interrupt = false;
             interrupt = !interrupt;
             if (!interrupt)
                 return ::getrandom(buffer, 1, flags);
             errno = EINTR;
             return -1;
         });
     }},
#endif
};

class SystemRandomBits : public ::testing::TestWithParam<RandomSourceCase>
{};

TEST_P(SystemRandomBits, VaryInEveryBit)
{
    // A source stuck at one value, or one that fills fewer than 64 bits, fails this; a working
    // one fails it with a probability below 10^-13.
    std::uint64_t everSet = 0, everClear = 0;
    std::set<std::uint64_t> seen;
    for (int i = 0; i < 1000; ++i) {
        const std::uint64_t value = GetParam().draw();
        everSet |= value;
        everClear |= ~value;
        seen.insert(value);
    }
    EXPECT_EQ(everSet, ~std::uint64_t(0));
    EXPECT_EQ(everClear, ~std::uint64_t(0));
    EXPECT_EQ(seen.size(), 1000u);
}

INSTANTIATE_TEST_SUITE_P(Sources, SystemRandomBits, ::testing::ValuesIn(randomSources), RowName());

// --- The generation commands and the counter ---------------------------------------------------

class WordsCommand : public FormTest, public ::testing::WithParamInterface<int>
{};

TEST_P(WordsCommand, BuildsPhraseOfN)
{
    const int words = GetParam();
    const std::u16string list[] = {u"alpha", u"beta", u"gamma", u"delta"};
    m_fake->setWordLines({list[0], list[1], list[2], list[3]});
    m_form->load();
    // Draw k/4 + a little picks item k+1; run through them in order.
    std::u16string expected;
    for (int i = 0; i < words; ++i) {
        m_fake->queueDraws({double(i % 4) / 4.0 + 0.01});
        expected += (i > 0 ? u" " : u"") + list[i % 4];
    }
    m_fake->choose(Item(int(Item::W1) + words - 1));
    EXPECT_EQ(m_fake->phraseText(), expected);
    EXPECT_EQ(m_fake->boxText(Box::Text2), (words < 10 ? u"0" : u"") + decimal(words));
    const std::u16string last = decimal((words - 1) % 4 + 1);
    EXPECT_EQ(m_fake->boxText(Box::Text3), last + u" " + last);
    EXPECT_EQ(m_fake->caption(Item::CH), u"Charaters  " + decimal(std::int64_t(expected.size())));
    EXPECT_EQ(state().LoopIndex, words + 1);
    EXPECT_EQ(m_fake->openFiles(), 0);
}

INSTANTIATE_TEST_SUITE_P(W1ToW10, WordsCommand, ::testing::Range(1, 11),
                         [](const ::testing::TestParamInfo<int>& row) {
                             std::string name = "W";
                             name += std::to_string(row.param);
                             return name;
                         });

TEST_F(FormTest, WordsCommandWritesPhraseBoxStepByStep)
{
    m_fake->setWordLines({u"alpha", u"beta", u"gamma"});
    m_form->load();
    m_fake->setPhraseText(u"old phrase");
    m_fake->queueDraws({0.5, 0.0, 0.9});
    m_fake->choose(Item::W3);
    EXPECT_EQ(m_fake->phraseWrites(),
              (std::vector<std::u16string>{u"", u"beta ", u"beta alpha ", u"beta alpha gamma ", u"beta alpha gamma"}));
    EXPECT_EQ(state().Pick, 3.0);
    EXPECT_EQ(state().Word, u"gamma");
}

struct EdgeListCase
{
    const char* name;
    std::string file;
    Item item;
    std::u16string phrase;
    std::u16string trace;
};

// clang-format off
const EdgeListCase edgeLists[] = {
    {"one item repeats", "solo\n", Item::W3, u"solo solo solo", u"1 1"},
    {"item ending in a space keeps it", "end \n", Item::W2, u"end  end ", u"1 1"},
    // The counter counts UTF-16 units, and in more than two digits.
    {"a word outside the BMP counts 2", "\xF0\x9F\x94\x91\n", Item::W1, u"\U0001F511", u"1 1"},
    {"a word of 104 letters", std::string(104, 'x') + "\n", Item::W1, std::u16string(104, u'x'), u"1 1"},
};
// clang-format on

using WordsCommandOn = FormRowTest<EdgeListCase>;

TEST_P(WordsCommandOn, EdgeList)
{
    const EdgeListCase& c = GetParam();
    m_fake->setWordList(c.file);
    m_form->load();
    m_fake->choose(c.item);
    EXPECT_EQ(m_fake->phraseText(), c.phrase);
    EXPECT_EQ(m_fake->boxText(Box::Text3), c.trace);
    EXPECT_EQ(m_fake->caption(Item::CH), u"Charaters  " + decimal(std::int64_t(c.phrase.size())));
}

INSTANTIATE_TEST_SUITE_P(Lists, WordsCommandOn, ::testing::ValuesIn(edgeLists), RowName());

TEST_F(FormTest, UnknownErrorInHandlerIsReportedAndProgramGoesOn)
{
    m_fake->setWordLines({u"alpha"});
    m_form->load();
    m_fake->failWrites(Box::Text3, 5);
    m_fake->choose(Item::W2);
    // The handler stopped at the failing write: one word in, trailing space not cut, counter
    // not refreshed; the user saw the error, and the program did not end.
    EXPECT_EQ(m_fake->phraseText(), u"alpha ");
    EXPECT_EQ(m_fake->caption(Item::CH), u"Characters 0");
    ASSERT_EQ(m_fake->messages().size(), 1u);
    EXPECT_EQ(m_fake->messages()[0].prompt, u"Error 5: scripted failure");
    EXPECT_EQ(m_fake->messages()[0].title, u"Lexitrove");
    EXPECT_FALSE(m_fake->hasEnded());
    m_fake->failWrites(Box::Text3, 0);
    m_fake->choose(Item::W1);
    EXPECT_EQ(m_fake->phraseText(), u"alpha");
}

} // namespace
