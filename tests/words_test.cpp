// SPDX-License-Identifier: MIT
// The word list, the random draw, the generation commands and the counter, through the double.
#include "fixture.h"
#include "platform/system_random.h"
#include "words/item_reader.h"
#include "words/ordinal_draw.h"
#include "words/word_list.h"

#include <QtTest>

#include <cerrno>
#include <cmath>
#include <memory>
#if defined(Q_OS_LINUX)
#include <sys/random.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// The rules of the reader, restated as simply as possible: split on LF, CR or CRLF and drop
// the empty lines. Only for ASCII input.
QStringList referenceItems(const QByteArray& bytes)
{
    QStringList items;
    QString line;
    for (char c : bytes) {
        if (c == '\n' || c == '\r') {
            if (!line.isEmpty())
                items.append(line);
            line.clear();
        } else {
            line += QLatin1Char(c);
        }
    }
    if (!line.isEmpty())
        items.append(line);
    return items;
}

} // namespace

class WordsTest : public FormTest
{
    Q_OBJECT

private:

    // A fresh program on `lines`, started up.
    void start(const QStringList& lines)
    {
        m_fake->setWordLines(lines);
        m_form->load();
    }

private Q_SLOTS:

    void startUp_countsItemsAndKeepsTheLast_data();
    void startUp_countsItemsAndKeepsTheLast();
    void reader_agreesWithSimpleSplitAcrossBlockBoundaries();
    void reader_decodesEachEncoding_data();
    void reader_decodesEachEncoding();
    void reader_cutsRunawayItems();
    void missingList_atStartUp_showsMessageAndEndsWithStatus1();
    void wordFailure_givesNoPhraseAndSaysWhy_data();
    void wordFailure_givesNoPhraseAndSaysWhy();
    void countOverflow_isQuiet();
    void readFailure_halfWay_keepsWhatWasRead();
    void fetch_readsUpToThePick_data();
    void fetch_readsUpToThePick();
    void pickIndex_mapsDrawToOrdinal_data();
    void pickIndex_mapsDrawToOrdinal();
    void draws_areUniformOverALongList();
    void systemRandomBits_varyInEveryBit_data();
    void systemRandomBits_varyInEveryBit();
    void wordsCommands_buildPhraseOfN_data();
    void wordsCommands_buildPhraseOfN();
    void wordsCommand_writesPhraseBoxStepByStep();
    void wordsCommand_edgeLists_data();
    void wordsCommand_edgeLists();
    void counter_showsLengthInUtf16Units_data();
    void counter_showsLengthInUtf16Units();
    void unknownError_inHandler_isReportedAndProgramGoesOn();
};

void WordsTest::startUp_countsItemsAndKeepsTheLast_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("word");
    QTest::addRow("three lines") << QByteArray("alpha\nbeta\ngamma\n") << 3 << "gamma";
    QTest::addRow("five lines") << QByteArray("a\nb\nc\nd\ne\n") << 5 << "e";
    QTest::addRow("no final line end") << QByteArray("alpha\nbeta") << 2 << "beta";
    QTest::addRow("CRLF") << QByteArray("alpha\r\nbeta\r\n") << 2 << "beta";
    QTest::addRow("lone CR") << QByteArray("alpha\rbeta\rgamma") << 3 << "gamma";
    QTest::addRow("empty lines skipped") << QByteArray("\n\nalpha\n\n\nbeta\n\n") << 2 << "beta";
    QTest::addRow("blanks kept") << QByteArray("  alpha \n beta  \n") << 2 << " beta  ";
    QTest::addRow("commas and quotes are text") << QByteArray("a,b\n\"c\"\n") << 2 << "\"c\"";
    QTest::addRow("empty file") << QByteArray() << 0 << "";
    QTest::addRow("only line ends") << QByteArray("\r\n\n\r\r\n") << 0 << "";
    QTest::addRow("UTF-8 mark skipped") << QByteArray("\xEF\xBB\xBFone\ntwo\n") << 2 << "two";
}

void WordsTest::startUp_countsItemsAndKeepsTheLast()
{
    QFETCH(QByteArray, file);
    QFETCH(int, total);
    QFETCH(QString, word);
    m_fake->setWordList(file);
    m_form->load();
    QCOMPARE(state().Total, total);
    QCOMPARE(state().Pos, total);
    QCOMPARE(state().Word, word);
    QVERIFY(!m_fake->hasEnded());
    QCOMPARE(m_fake->openFiles(), 0);
    QVERIFY(m_fake->messages().isEmpty());
}

void WordsTest::reader_agreesWithSimpleSplitAcrossBlockBoundaries()
{
    // Random mixes of short items and every kind of line end, read in blocks and chunks small
    // enough that items, CRLF pairs and the reader's 256-unit counting steps straddle every
    // boundary.
    QRandomGenerator random(20261207);
    const char alphabet[] = "ab\n\r\n\r xyz";
    for (int round = 0; round < 400; ++round) {
        QByteArray bytes;
        const int size = int(random.bounded(round < 200 ? 300 : 3000));
        for (int i = 0; i < size; ++i)
            bytes += alphabet[random.bounded(int(sizeof alphabet) - 1)];
        const QStringList expected = referenceItems(bytes);
        m_fake->setWordList(bytes);
        m_fake->setReadChunk(1 + random.bounded(round < 200 ? 40 : 4000));
        const qsizetype blockSize = 16 + random.bounded(round < 200 ? 50 : 2000);
        QList<qint64> ordinals{1, expected.size(), expected.size() + 1};
        for (int i = 0; i < 40; ++i)
            ordinals.append(1 + random.bounded(expected.size() + 1));
        for (qint64 ordinal : ordinals) {
            const auto file = m_fake->openForInput(wordListPath(*m_fake));
            ItemReader reader(*file, blockSize);
            QString item = QStringLiteral("untouched");
            const qint64 read = reader.readItems(ordinal, &item);
            QCOMPARE(read, std::min<qint64>(ordinal, expected.size()));
            QCOMPARE(item, expected.isEmpty() ? QStringLiteral("untouched") : expected.at(read - 1));
        }
        const auto file = m_fake->openForInput(wordListPath(*m_fake));
        ItemReader reader(*file, blockSize);
        QCOMPARE(reader.readItems(1, nullptr) + reader.readItems(1000, nullptr), qint64(expected.size()));
    }
}

void WordsTest::reader_decodesEachEncoding_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("items");
    const QString sigma = QStringLiteral("\u03C3\u03BF\u03C6\u03AF\u03B1");
    QTest::addRow("UTF-8") << QByteArray("caf\xC3\xA9\n\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1\n")
                           << QStringList{QStringLiteral("caf\u00E9"), sigma};
    QTest::addRow("Windows-1252 where not UTF-8")
        << QByteArray("caf\xE9\n\x80uro\xC3\xA9\n") << QStringList{QStringLiteral("caf\u00E9"), QStringLiteral("\u20ACuro\u00C3\u00A9")};
    QTest::addRow("UTF-16LE") << QByteArray("\xFF\xFE" "a\0b\0\n\0\xC3\x03\r\0\n\0", 14)
                              << QStringList{QStringLiteral("ab"), QStringLiteral("\u03C3")};
    QTest::addRow("UTF-16BE") << QByteArray("\xFE\xFF\0a\0b\0\r\x03\xC3", 10)
                              << QStringList{QStringLiteral("ab"), QStringLiteral("\u03C3")};
    QTest::addRow("UTF-16 with a 0x0A00 unit is no line end")
        << QByteArray("\xFF\xFE\0\x0A" "a\0", 6) << QStringList{QStringLiteral("\u0A00a")};
    QTest::addRow("surrogate pair") << QByteArray("\xF0\x9F\x94\x91\n")
                                    << QStringList{QString::fromUtf8("\xF0\x9F\x94\x91")};
    // Without a mark, half the units or more with a zero high byte and none with a zero low one.
    QTest::addRow("UTF-16LE without a mark") << QByteArray("a\0b\0\n\0\xC3\x03\r\0\n\0", 12)
                                             << QStringList{QStringLiteral("ab"), QStringLiteral("\u03C3")};
    QTest::addRow("UTF-16BE without a mark") << QByteArray("\0a\0b\0\r\x03\xC3", 8)
                                             << QStringList{QStringLiteral("ab"), QStringLiteral("\u03C3")};
    QTest::addRow("zero bytes on both sides stay 8-bit") << QByteArray("\0\0a\0\nb", 6)
                                                         << QStringList{QString::fromLatin1("\0\0a\0", 4), "b"};
    QTest::addRow("4-byte character across byte 4,096 cut whole")
        << "a" + QByteArray("\xF0\x9F\x94\x91").repeated(1024) + "\n"
        << QStringList{QStringLiteral("a") + QString::fromUtf8("\xF0\x9F\x94\x91").repeated(1023)};
    QTest::addRow("UTF-16 pair across unit 4,096 cut whole")
        << QByteArray("\xFF\xFE" "a\0", 4) + QByteArray("\x3D\xD8\x11\xDD").repeated(2048)
        << QStringList{QStringLiteral("a") + QString::fromUtf8("\xF0\x9F\x94\x91").repeated(2047)};
}

void WordsTest::reader_decodesEachEncoding()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, items);
    for (qint64 chunk : {qint64(1), qint64(3), qint64(1 << 20)}) {
        m_fake->setWordList(file);
        m_fake->setReadChunk(chunk);
        for (qsizetype i = 0; i < items.size(); ++i) {
            state().Pick = double(i + 1);
            FetchWord(state(), *m_fake);
            QCOMPARE(state().Word, items.at(i));
            QCOMPARE(state().Pos, int(i + 1));
        }
        CountWords(state(), *m_fake);
        QCOMPARE(state().Total, int(items.size()));
    }
}

void WordsTest::reader_cutsRunawayItems()
{
    // A 1 MiB line of a two-byte character: kept to MaxItemUnits bytes, cut back to a whole
    // character, and counted as one item among the others.
    QByteArray runaway;
    for (int i = 0; i < (1 << 19); ++i)
        runaway += "\xC3\xA9";
    m_fake->setWordList("first\n" + runaway + "\nlast\n");
    m_fake->setReadChunk(100000);
    m_form->load();
    QCOMPARE(state().Total, 3);
    state().Pick = 2.0;
    FetchWord(state(), *m_fake);
    QCOMPARE(state().Word, QString(ItemReader::MaxItemUnits / 2, QChar(0xE9)));
    state().Pick = 3.0;
    FetchWord(state(), *m_fake);
    QCOMPARE(state().Word, QStringLiteral("last"));
}

void WordsTest::missingList_atStartUp_showsMessageAndEndsWithStatus1()
{
    m_form->load();
    QCOMPARE(m_fake->messages().size(), 1);
    QCOMPARE(m_fake->messages().at(0).prompt, QStringLiteral("Error Words.TxT File Missing"));
    QCOMPARE(m_fake->messages().at(0).title, QStringLiteral("Quorbel_Words"));
    QCOMPARE(m_fake->messages().at(0).icon, MessageIcon::Exclamation);
    QVERIFY(m_fake->hasEnded());
    QCOMPARE(m_fake->exitStatus(), 1);
    QCOMPARE(state().Total, 0);
    // Nothing runs after the end: not a command, not the unload event.
    m_fake->choose(Item::W1);
    m_fake->requestClose();
    QCOMPARE(m_fake->phraseWrites(), QStringList());
    QCOMPARE(m_fake->messages().size(), 1);
}

void WordsTest::wordFailure_givesNoPhraseAndSaysWhy_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("failingWord");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("mendedByFixingTheList");
    const QString noPhrase = QStringLiteral(", so no phrase was made.\r\n");
    const QString restart = QStringLiteral(", then start Lexitrove again.");
    const QString empty = "Words.TxT holds no words" + noPhrase + "Put one word on each line of Words.TxT" + restart;
    const QString unreadable =
        "Words.TxT cannot be read (%1)" + noPhrase + "Make Words.TxT a file you may read" + restart;
    const QString tooLong = "Words.TxT holds more than 2,147,483,647 words, more than Lexitrove can count" + noPhrase
        + "Use a shorter list" + restart;
    const QString shorter = "Words.TxT got shorter since Lexitrove started" + noPhrase
        + "Start Lexitrove again to use Words.TxT as it is now.";
    const QString noRandom = "The system gave no random numbers (Function not implemented)" + noPhrase
        + "Try again; Lexitrove makes no phrase without them.";
    const QString untypeable = "Line %1 of Words.TxT holds a control character (%2), which cannot be typed" + noPhrase
        + "Correct or delete line %1 of Words.TxT" + restart;
    // clang-format off
    // Start-up counts quietly; Total stays 0 and every command says why, until a restart.
    QTest::addRow("empty at start-up")      << "empty" << 1 << empty << false;
    QTest::addRow("unreadable at start-up") << "unreadable at start-up" << 1 << unreadable.arg("scripted failure") << false;
    QTest::addRow("too long at start-up")   << "too long" << 1 << tooLong << false;
    // After start-up the list is read again for every word; once it is mended, commands work.
    QTest::addRow("unreadable at word 2")   << "unreadable" << 2 << unreadable.arg("scripted failure") << true;
    QTest::addRow("read fails half way")    << "read fails" << 1 << unreadable.arg("Device I/O error") << true;
    QTest::addRow("emptied")                << "emptied" << 1 << empty << true;
    QTest::addRow("shortened, word 3")      << "shortened" << 3 << shorter << true;
    QTest::addRow("no random bits, word 3") << "random source" << 3 << noRandom << true;
    // A drawn item that cannot be typed: the message names the line of the file, where empty
    // lines and CRLF count as an editor counts them.
    QTest::addRow("TAB in word 3")          << "tab" << 3 << untypeable.arg(u"4"_s, u"U+0009"_s) << true;
    QTest::addRow("a list of zero bytes")   << "zeros" << 1 << untypeable.arg(u"1"_s, u"U+0000"_s) << true;
    // Asked to close during a read: the command stops without a phrase and says nothing, for the
    // window closes next.
    QTest::addRow("close asked, word 2")    << "close" << 2 << "" << true;
    // A missing list still ends the program, but not before the words drawn so far are gone.
    QTest::addRow("missing at word 2")      << "missing" << 2 << "Error Words.TxT File Missing" << false;
    // clang-format on
}

void WordsTest::wordFailure_givesNoPhraseAndSaysWhy()
{
    QFETCH(QString, failure);
    QFETCH(int, failingWord);
    QFETCH(QString, prompt);
    QFETCH(bool, mendedByFixingTheList);
    const QStringList list{QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")};
    m_fake->setWordLines(list);
    if (failure == u"empty")
        m_fake->setWordList(QByteArray());
    if (failure == u"unreadable at start-up")
        m_fake->setOpenError(ErrorNumber::PermissionDenied);
    if (failure == u"zeros")
        m_fake->setWordList(QByteArray(100000, '\0'));
    if (failure == u"too long")
        CountWords(state(), *m_fake, 2);
    else
        m_form->load();
    QVERIFY(m_fake->messages().isEmpty()); // start-up itself stays quiet
    m_fake->setOpenError(0);

    // The words before the failing one are drawn from the start of the list.
    m_fake->queueDraws({0.1, 0.1});
    if (failure == u"unreadable")
        m_fake->setOpenError(ErrorNumber::PermissionDenied, 1);
    if (failure == u"missing")
        m_fake->setOpenError(ErrorNumber::FileNotFound, 1);
    if (failure == u"read fails")
        m_fake->failReadsAfter(3);
    if (failure == u"emptied")
        m_fake->setWordList(QByteArray());
    if (failure == u"shortened") {
        m_fake->setWordLines({QStringLiteral("alpha")});
        m_fake->queueDraws({0.9});
    }
    if (failure == u"close") { // the first word takes two reads (its bytes, then the end)
        m_fake->queueDuringRead([] {});
        m_fake->queueDuringRead([] {});
        m_fake->queueDuringRead([this] { m_fake->askToCloseDuringRead(); });
    }
    if (failure == u"tab") {
        m_fake->setWordList("alpha\n\nbeta\r\nga\tmma\n");
        m_fake->queueDraws({0.9});
    }
    if (failure == u"random source")
        m_fake->failRandomBits(QStringLiteral("Function not implemented"));
    m_fake->setPhraseText(QStringLiteral("old phrase"));
    m_fake->setText(Box::Text3, QStringLiteral("old phrase"));
    m_fake->choose(Item::W3);

    // The message came once, and by then nothing of the words drawn before it could be pasted,
    // nor was anything of a phrase left in the scratch box.
    QCOMPARE(m_fake->messages().size(), prompt.isEmpty() ? 0 : 1);
    if (!prompt.isEmpty()) {
        const FakePlatform::Message message = m_fake->messages().at(0);
        QCOMPARE(message.prompt, prompt);
        QCOMPARE(message.icon, MessageIcon::Exclamation);
        QCOMPARE(message.title, QStringLiteral("Quorbel_Words"));
        QCOMPARE(message.phraseBox, QString());
        QCOMPARE(message.clipboard, QString());
    }
    QCOMPARE(m_fake->phraseText(), QString());
    QCOMPARE(m_fake->clipboard(), QString());
    QCOMPARE(m_fake->boxText(Box::Text3), QString());
    QCOMPARE(m_fake->caption(Item::CH), QStringLiteral("Charaters  0"));
    // Emptied, one write per word drawn before the failing one, emptied again.
    QCOMPARE(m_fake->phraseWrites().size(), failingWord + 1);
    QCOMPARE(m_fake->phraseWrites().value(failingWord - 1),
             failingWord > 1 ? QStringLiteral("alpha ").repeated(failingWord - 1) : QString());
    QCOMPARE(m_fake->openFiles(), 0);
    if (failure == u"missing") {
        QCOMPARE(m_fake->exitStatus(), 1);
        return;
    }

    // The program goes on: with the list and the random source mended, the next command gives a
    // phrase where the list was fine at start-up, and the same message where it was not.
    QVERIFY(!m_fake->hasEnded());
    m_fake->setWordLines(list);
    m_fake->setOpenError(0);
    m_fake->failReadsAfter(-1);
    m_fake->failRandomBits(QString());
    m_fake->choose(Item::W2);
    if (mendedByFixingTheList) {
        QCOMPARE(m_fake->messages().size(), prompt.isEmpty() ? 0 : 1);
        QCOMPARE(m_fake->phraseText().count(u' '), 1);
    } else {
        QCOMPARE(m_fake->messages().size(), 2);
        QCOMPARE(m_fake->messages().last().prompt, prompt);
        QCOMPARE(m_fake->phraseText(), QString());
    }
    QCOMPARE(m_fake->clipboard(), m_fake->phraseText());
}

void WordsTest::countOverflow_isQuiet()
{
    m_fake->setWordLines({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                          QStringLiteral("e")});
    CountWords(state(), *m_fake, 3);
    QCOMPARE(state().Total, 0); // not updated
    QCOMPARE(state().Pos, 3);   // the count reached
    QCOMPARE(state().Word, QStringLiteral("d")); // the item whose count overflowed
    QVERIFY(m_fake->messages().isEmpty());
    QCOMPARE(m_fake->openFiles(), 0);
    CountWords(state(), *m_fake, 5); // exactly at the limit is fine
    QCOMPARE(state().Total, 5);
}

void WordsTest::readFailure_halfWay_keepsWhatWasRead()
{
    // 30,000 items of about 10 bytes, and a disk that fails past the second 64 KiB block,
    // right after a line end: the count and the last item are those before the failure.
    QStringList lines;
    for (int i = 1; i <= 30000; ++i)
        lines.append(QStringLiteral("word%1").arg(i));
    m_fake->setWordLines(lines);
    const QByteArray bytes = lines.join(u'\n').toUtf8() + '\n';
    const qint64 failAt = bytes.indexOf('\n', 100000) + 1;
    const QStringList before = referenceItems(bytes.left(failAt));
    m_fake->failReadsAfter(failAt);
    m_form->load();
    QCOMPARE(state().Total, 0); // never counted to the end
    QCOMPARE(state().Pos, int(before.size()));
    QCOMPARE(state().Word, before.last());
    QVERIFY(m_fake->messages().isEmpty());
    QCOMPARE(m_fake->openFiles(), 0);

    state().Pick = 25000.0;
    FetchWord(state(), *m_fake);
    QCOMPARE(state().Pos, int(before.size()));
    QCOMPARE(state().Word, before.last());
    state().Pick = 3.0;
    FetchWord(state(), *m_fake);
    QCOMPARE(state().Word, QStringLiteral("word3"));
}

void WordsTest::fetch_readsUpToThePick_data()
{
    QTest::addColumn<double>("pick");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("pos");
    QTest::addRow("first") << 1.0 << "alpha" << 1;
    QTest::addRow("middle") << 2.0 << "beta" << 2;
    QTest::addRow("last") << 3.0 << "gamma" << 3;
    QTest::addRow("past the end") << 5.0 << "gamma" << 3;
}

void WordsTest::fetch_readsUpToThePick()
{
    QFETCH(double, pick);
    QFETCH(QString, word);
    QFETCH(int, pos);
    start({QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")});
    state().Pick = pick;
    FetchWord(state(), *m_fake);
    QCOMPARE(state().Word, word);
    QCOMPARE(state().Pos, pos);
    QCOMPARE(m_fake->openFiles(), 0);
}

void WordsTest::pickIndex_mapsDrawToOrdinal_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<QList<quint64>>("values");
    QTest::addColumn<double>("pick");
    // Ordinal k is the k-th of Total bands of floor(2^64 / Total) values each; the 2^64 mod Total
    // values above the last band are drawn again.
    constexpr quint64 max = ~quint64(0);
    constexpr quint64 tenth = 1844674407370955161u; // floor(2^64 / 10); 6 values left over
    constexpr quint64 band24 = 1099511562240u; // floor(2^64 / (2^24 + 1)); 65,536 left
    constexpr quint64 band31 = 8589934596u; // floor(2^64 / (2^31 - 1)); 4 left
    QTest::addRow("empty list draws nothing") << 0 << QList<quint64>{} << 1.0;
    QTest::addRow("one item, largest value") << 1 << QList<quint64>{max} << 1.0;
    QTest::addRow("smallest of 10") << 10 << QList<quint64>{0} << 1.0;
    QTest::addRow("end of band 1 of 10") << 10 << QList<quint64>{tenth - 1} << 1.0;
    QTest::addRow("start of band 2 of 10") << 10 << QList<quint64>{tenth} << 2.0;
    QTest::addRow("largest accepted of 10") << 10 << QList<quint64>{max - 6} << 10.0;
    QTest::addRow("rejected values of 10 drawn again") << 10 << QList<quint64>{max, max - 5, 5 * tenth} << 6.0;
    QTest::addRow("2^24+1, odd") << 16777217 << QList<quint64>{band24 * 2} << 3.0;
    QTest::addRow("2^24+1, even") << 16777217 << QList<quint64>{band24} << 2.0;
    QTest::addRow("2^24+1, last") << 16777217 << QList<quint64>{max - 65536} << 16777217.0;
    QTest::addRow("2^24+1, rejected") << 16777217 << QList<quint64>{max - 65535, max - 65536} << 16777217.0;
    QTest::addRow("2^31-1, even") << 2147483647 << QList<quint64>{band31 * 2 - 1} << 2.0;
    QTest::addRow("2^31-1, odd") << 2147483647 << QList<quint64>{band31 * 2} << 3.0;
    QTest::addRow("2^31-1, last") << 2147483647 << QList<quint64>{max - 4} << 2147483647.0;
    QTest::addRow("2^31-1, rejected") << 2147483647 << QList<quint64>{max, max - 3, band31 * 1000} << 1001.0;
}

void WordsTest::pickIndex_mapsDrawToOrdinal()
{
    QFETCH(int, total);
    QFETCH(QList<quint64>, values);
    QFETCH(double, pick);
    state().Total = total;
    m_fake->queueBits(values);
    PickIndex(state(), *m_fake);
    QCOMPARE(state().Pick.value(), pick);
    QCOMPARE(QString::number(qint64(*state().Pick)), QString::number(pick, 'f', 0));
    QCOMPARE(m_fake->queuedBits(), 0); // every rejected value was drawn again, no more
}

void WordsTest::draws_areUniformOverALongList()
{
    // 100,000 draws from a list of 2^25 - 2 items, made from a fixed, well-mixed stream of 64-bit
    // values (splitmix64), so that the mapping alone is judged, the same way on every run. Ten
    // equal bands catch a skew across the list; split by odd and even ordinals, they also catch
    // a skew between neighbours, as a draw of 24 bits has (only even ordinals in the first half
    // of this list, only odd ones in the second). Chi-square exceeds 27.88 with 9 degrees of
    // freedom, and 43.82 with 19, with probability 0.001.
    constexpr int draws = 100000;
    constexpr qint32 total = 33554430;
    QList<quint64> values;
    quint64 seed = 20261207;
    for (int i = 0; i < draws; ++i) {
        quint64 z = (seed += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        values.append(z ^ (z >> 31));
    }
    m_fake->queueBits(values);
    state().Total = total;
    std::vector<int> bands(10), bandsByParity(20);
    for (int i = 0; i < draws; ++i) {
        PickIndex(state(), *m_fake);
        const double pick = *state().Pick;
        QVERIFY(pick >= 1.0 && pick <= total && pick == std::floor(pick));
        const auto band = size_t((qint64(pick) - 1) / (total / 10));
        ++bands[band];
        ++bandsByParity[2 * band + size_t(qint64(pick) % 2)];
    }
    const auto chiSquare = [](const std::vector<int>& counts) {
        const double expected = double(draws) / double(counts.size());
        double sum = 0.0;
        for (int count : counts)
            sum += (count - expected) * (count - expected) / expected;
        return sum;
    };
    QVERIFY2(chiSquare(bands) < 27.88, qPrintable(QString::number(chiSquare(bands))));
    QVERIFY2(chiSquare(bandsByParity) < 43.82, qPrintable(QString::number(chiSquare(bandsByParity))));
}

void WordsTest::systemRandomBits_varyInEveryBit_data()
{
    QTest::addColumn<QString>("source");
    QTest::addRow("the kernel's") << "kernel";
#if defined(Q_OS_LINUX)
    // The kernel may give fewer bytes than asked for, or be interrupted by a signal: the rest is
    // asked for again, never left as it was.
    QTest::addRow("3 bytes a read") << "short";
    QTest::addRow("interrupted every other read") << "interrupted";
#endif
}

void WordsTest::systemRandomBits_varyInEveryBit()
{
    // A source stuck at one value, or one that fills fewer than 64 bits, fails this; a working
    // one fails it with a probability below 10^-13.
    QFETCH(QString, source);
    const auto draw = [&source]() -> quint64 {
#if defined(Q_OS_LINUX)
        if (source == u"short")
            return randomBitsFrom([](void* buffer, size_t size, unsigned int flags) {
                return ::getrandom(buffer, std::min<size_t>(size, 3), flags);
            });
        if (source == u"interrupted")
            return randomBitsFrom([](void* buffer, size_t, unsigned int flags) -> ssize_t {
                static bool interrupt = false;
                interrupt = !interrupt;
                if (!interrupt)
                    return ::getrandom(buffer, 1, flags);
                errno = EINTR;
                return -1;
            });
#endif
        return systemRandomBits();
    };
    quint64 everSet = 0, everClear = 0;
    QSet<quint64> seen;
    for (int i = 0; i < 1000; ++i) {
        const quint64 value = draw();
        everSet |= value;
        everClear |= ~value;
        seen.insert(value);
    }
    QCOMPARE(everSet, ~quint64(0));
    QCOMPARE(everClear, ~quint64(0));
    QCOMPARE(seen.size(), 1000);
}

void WordsTest::wordsCommands_buildPhraseOfN_data()
{
    QTest::addColumn<Item>("item");
    QTest::addColumn<int>("words");
    for (int n = 1; n <= 10; ++n)
        QTest::addRow("W%d", n) << Item(int(Item::W1) + n - 1) << n;
}

void WordsTest::wordsCommands_buildPhraseOfN()
{
    QFETCH(Item, item);
    QFETCH(int, words);
    const QStringList list{QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma"),
                           QStringLiteral("delta")};
    start(list);
    // Draw k/4 + a little picks item k+1; run through them in order.
    QStringList expected;
    for (int i = 0; i < words; ++i) {
        m_fake->queueDraws({float(i % 4) / 4.0f + 0.01f});
        expected.append(list.at(i % 4));
    }
    m_fake->choose(item);
    QCOMPARE(m_fake->phraseText(), expected.join(u' '));
    QCOMPARE(m_fake->boxText(Box::Text2), QStringLiteral("%1").arg(words, 2, 10, QLatin1Char('0')));
    const int last = (words - 1) % 4 + 1;
    QCOMPARE(m_fake->boxText(Box::Text3), QStringLiteral("%1 %1").arg(last));
    QCOMPARE(m_fake->caption(Item::CH),
             QStringLiteral("Charaters  ") + QString::number(expected.join(u' ').size()));
    QCOMPARE(state().LoopIndex.value(), words + 1);
    QCOMPARE(m_fake->openFiles(), 0);
}

void WordsTest::wordsCommand_writesPhraseBoxStepByStep()
{
    start({QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")});
    m_fake->setPhraseText(QStringLiteral("old phrase"));
    m_fake->queueDraws({0.5f, 0.0f, 0.9f});
    m_fake->choose(Item::W3);
    QCOMPARE(m_fake->phraseWrites(),
             (QStringList{QString(), QStringLiteral("beta "), QStringLiteral("beta alpha "),
                          QStringLiteral("beta alpha gamma "), QStringLiteral("beta alpha gamma")}));
    QCOMPARE(state().Pick.value(), 3.0);
    QCOMPARE(state().Word, QStringLiteral("gamma"));
}

void WordsTest::wordsCommand_edgeLists_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Item>("item");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("trace");
    QTest::addRow("one item repeats") << QByteArray("solo\n") << Item::W3 << "solo solo solo" << "1 1";
    QTest::addRow("item ending in a space keeps it") << QByteArray("end \n") << Item::W2 << "end  end " << "1 1";
    QTest::addRow("one word, no spaces") << QByteArray("apple\n") << Item::W1 << "apple" << "1 1";
}

void WordsTest::wordsCommand_edgeLists()
{
    QFETCH(QByteArray, file);
    QFETCH(Item, item);
    QFETCH(QString, phrase);
    QFETCH(QString, trace);
    m_fake->setWordList(file);
    m_form->load();
    m_fake->choose(item);
    QCOMPARE(m_fake->phraseText(), phrase);
    QCOMPARE(m_fake->boxText(Box::Text3), trace);
    QCOMPARE(m_fake->caption(Item::CH), QStringLiteral("Charaters  ") + QString::number(phrase.size()));
}

void WordsTest::counter_showsLengthInUtf16Units_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("caption");
    QTest::addRow("apple") << "apple" << "Charaters  5";
    QTest::addRow("outside the BMP counts 2") << QString::fromUtf8("\xF0\x9F\x94\x91") << "Charaters  2";
    QTest::addRow("three digits") << QString(104, QLatin1Char('x')) << "Charaters  104";
}

void WordsTest::counter_showsLengthInUtf16Units()
{
    QFETCH(QString, word);
    QFETCH(QString, caption);
    QCOMPARE(m_fake->caption(Item::CH), QStringLiteral("Characters 0"));
    start({word});
    m_fake->choose(Item::W1);
    QCOMPARE(m_fake->caption(Item::CH), caption);
}

void WordsTest::unknownError_inHandler_isReportedAndProgramGoesOn()
{
    start({QStringLiteral("alpha")});
    m_fake->failWrites(Box::Text3, 5);
    m_fake->choose(Item::W2);
    // The handler stopped at the failing write: one word in, trailing space not cut, counter
    // not refreshed; the user saw the error, and the program did not end.
    QCOMPARE(m_fake->phraseText(), QStringLiteral("alpha "));
    QCOMPARE(m_fake->caption(Item::CH), QStringLiteral("Characters 0"));
    QCOMPARE(m_fake->messages().size(), 1);
    QCOMPARE(m_fake->messages().at(0).prompt, QStringLiteral("Error 5: scripted failure"));
    QCOMPARE(m_fake->messages().at(0).title, QStringLiteral("Lexitrove"));
    QVERIFY(!m_fake->hasEnded());
    m_fake->failWrites(Box::Text3, 0);
    m_fake->choose(Item::W1);
    QCOMPARE(m_fake->phraseText(), QStringLiteral("alpha"));
}

QTEST_GUILESS_MAIN(WordsTest)
#include "words_test.moc"
