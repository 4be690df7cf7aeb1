// SPDX-License-Identifier: MIT
// The word list, the random draw, the generation commands and the counter, through the double.
#include "app/form1.h"
#include "fake_platform.h"
#include "words/item_reader.h"
#include "words/ordinal_draw.h"
#include "words/word_list.h"

#include <QtTest>

#include <cmath>
#include <memory>

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

class WordsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakePlatform> m_fake;
    std::unique_ptr<Form1> m_form;
    FormState& state() { return m_form->state(); }

    // A fresh program on `lines`, started up.
    void start(const QStringList& lines)
    {
        m_fake->setWordLines(lines);
        m_form->load();
    }

private Q_SLOTS:
    void init()
    {
        m_fake = std::make_unique<FakePlatform>();
        m_form = std::make_unique<Form1>(*m_fake);
    }
    void cleanup()
    {
        m_form.reset();
        m_fake.reset();
    }

    void startUp_countsItemsAndKeepsTheLast_data();
    void startUp_countsItemsAndKeepsTheLast();
    void reader_agreesWithSimpleSplitAcrossBlockBoundaries();
    void reader_decodesEachEncoding_data();
    void reader_decodesEachEncoding();
    void reader_cutsRunawayItems();
    void missingList_atStartUp_showsMessageAndEndsWithStatus1();
    void missingList_duringCommand_endsMidCommand();
    void otherFailures_areQuietAndCloseTheFile_data();
    void otherFailures_areQuietAndCloseTheFile();
    void countOverflow_isQuiet();
    void readFailure_halfWay_keepsWhatWasRead();
    void fetch_readsUpToThePick_data();
    void fetch_readsUpToThePick();
    void fetch_afterListShortened_givesLastItem();
    void pickIndex_mapsDrawToOrdinal_data();
    void pickIndex_mapsDrawToOrdinal();
    void pickIndex_handsTheClockToTheGenerator();
    void draws_areUniform();
    void draws_ignoreTheSeed();
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
    // enough that items, CRLF pairs and the SSE steps straddle every boundary.
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
            const auto file = m_fake->openForInput(wordListPath(*m_fake), 1);
            ItemReader reader(*file, blockSize);
            QString item = QStringLiteral("untouched");
            const qint64 read = reader.readItems(ordinal, &item);
            QCOMPARE(read, std::min<qint64>(ordinal, expected.size()));
            QCOMPARE(item, expected.isEmpty() ? QStringLiteral("untouched") : expected.at(read - 1));
        }
        const auto file = m_fake->openForInput(wordListPath(*m_fake), 1);
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
    QCOMPARE(m_fake->messages().at(0).buttons, 48);
    QVERIFY(m_fake->hasEnded());
    QCOMPARE(m_fake->exitStatus(), 1);
    QCOMPARE(state().Total, 0);
    // Nothing runs after the end: not a command, not the unload event.
    m_fake->choose(QStringLiteral("W1"));
    m_fake->requestClose();
    QCOMPARE(m_fake->phraseWrites(), QStringList());
    QCOMPARE(m_fake->messages().size(), 1);
}

void WordsTest::missingList_duringCommand_endsMidCommand()
{
    start({QStringLiteral("alpha"), QStringLiteral("beta")});
    m_fake->queueDraws({0.0f, 0.0f, 0.0f});
    m_fake->choose(QStringLiteral("W2"));
    QCOMPARE(m_fake->phraseText(), QStringLiteral("alpha alpha"));
    m_fake->removeWordList();
    m_fake->choose(QStringLiteral("W3"));
    // The box was emptied, then the first fetch ended the program: nothing more was written.
    QCOMPARE(m_fake->phraseWrites().last(), QString());
    QCOMPARE(m_fake->messages().size(), 1);
    QCOMPARE(m_fake->messages().at(0).prompt, QStringLiteral("Error Words.TxT File Missing"));
    QCOMPARE(m_fake->exitStatus(), 1);
    QCOMPARE(m_fake->boxText(QStringLiteral("Text2")), QStringLiteral("03"));
    QCOMPARE(m_fake->caption(QStringLiteral("CH")), QStringLiteral("Charaters  11"));
    QCOMPARE(m_fake->openFiles(), 0);
}

void WordsTest::otherFailures_areQuietAndCloseTheFile_data()
{
    QTest::addColumn<int>("error");
    QTest::addRow("permission denied") << int(ErrorNumber::PermissionDenied);
    QTest::addRow("not a regular file") << int(ErrorNumber::PathFileAccess);
    QTest::addRow("read failure") << int(ErrorNumber::DeviceIo);
}

void WordsTest::otherFailures_areQuietAndCloseTheFile()
{
    QFETCH(int, error);
    m_fake->setWordLines({QStringLiteral("alpha"), QStringLiteral("beta")});
    m_fake->setOpenError(error);
    m_form->load();
    QCOMPARE(state().Total, 0);
    QVERIFY(m_fake->messages().isEmpty());
    QVERIFY(!m_fake->hasEnded());
    // A later fetch that fails leaves Word alone; once the list can be read again, fetches work:
    // no file number stays in use after a failure.
    state().Word = QStringLiteral("kept");
    m_fake->queueDraws({0.5f});
    m_fake->choose(QStringLiteral("W1"));
    QCOMPARE(m_fake->phraseText(), QStringLiteral("kept"));
    QCOMPARE(m_fake->boxText(QStringLiteral("Text3")), QStringLiteral("0 1"));
    m_fake->setOpenError(0);
    state().Pick = 2.0;
    FetchWord(state(), *m_fake);
    QCOMPARE(state().Word, QStringLiteral("beta"));
    QCOMPARE(m_fake->openFiles(), 0);
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

void WordsTest::fetch_afterListShortened_givesLastItem()
{
    start({QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")});
    m_fake->setWordLines({QStringLiteral("one")});
    m_fake->queueDraws({0.9f});
    m_fake->choose(QStringLiteral("W1"));
    QCOMPARE(m_fake->phraseText(), QStringLiteral("one"));
    QCOMPARE(m_fake->boxText(QStringLiteral("Text3")), QStringLiteral("1 3"));
    QCOMPARE(state().Total, 3); // never recounted
}

void WordsTest::pickIndex_mapsDrawToOrdinal_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<float>("draw");
    QTest::addColumn<double>("pick");
    const float largest = 1.0f - 1.0f / 16777216.0f;
    QTest::addRow("empty list") << 0 << 0.7f << 1.0;
    QTest::addRow("one item, largest draw") << 1 << largest << 1.0;
    QTest::addRow("zero") << 10 << 0.0f << 1.0;
    QTest::addRow("0.95 of 10") << 10 << 0.95f << 10.0;
    QTest::addRow("just below 0.1") << 10 << 0.09999999f << 1.0;
    QTest::addRow("0.1 of 10") << 10 << 0.1f << 2.0;
    QTest::addRow("largest of 7776") << 7776 << largest << 7776.0;
    QTest::addRow("largest of 2^31-1") << 2147483647 << largest << 2147483520.0;
}

void WordsTest::pickIndex_mapsDrawToOrdinal()
{
    QFETCH(int, total);
    QFETCH(float, draw);
    QFETCH(double, pick);
    state().Total = total;
    m_fake->queueDraws({draw});
    PickIndex(state(), *m_fake);
    QCOMPARE(state().Pick.value(), pick);
    QCOMPARE(QString::number(qint64(*state().Pick)), QString::number(pick, 'f', 0));
}

void WordsTest::pickIndex_handsTheClockToTheGenerator()
{
    state().Total = 10;
    m_fake->queueClock({100.5f, 100.5f});
    PickIndex(state(), *m_fake);
    PickIndex(state(), *m_fake);
    QCOMPARE(m_fake->reseeds(), (QList<float>{100.5f, 100.5f}));
}

void WordsTest::draws_areUniform()
{
    // 100,000 draws over 10 ordinals from the real source; chi-square with 9 degrees of freedom
    // exceeds 27.88 with probability 0.001.
    state().Total = 10;
    int counts[10] = {};
    const int draws = 100000;
    for (int i = 0; i < draws; ++i) {
        PickIndex(state(), *m_fake);
        const double pick = *state().Pick;
        QVERIFY(pick >= 1.0 && pick <= 10.0 && pick == std::floor(pick));
        ++counts[int(pick) - 1];
    }
    double chiSquare = 0.0;
    for (int count : counts)
        chiSquare += (count - draws / 10.0) * (count - draws / 10.0) / (draws / 10.0);
    QVERIFY2(chiSquare < 27.88, qPrintable(QString::number(chiSquare)));
}

void WordsTest::draws_ignoreTheSeed()
{
    // The same clock reading before every draw must not give the same draws.
    state().Total = 2147483647;
    m_fake->setClock(3600.0f);
    QList<double> first, second;
    for (int i = 0; i < 8; ++i) {
        PickIndex(state(), *m_fake);
        first.append(*state().Pick);
    }
    for (int i = 0; i < 8; ++i) {
        PickIndex(state(), *m_fake);
        second.append(*state().Pick);
    }
    QVERIFY(first != second);
}

void WordsTest::wordsCommands_buildPhraseOfN_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("words");
    for (int n = 1; n <= 10; ++n)
        QTest::addRow("W%d", n) << QStringLiteral("W%1").arg(n) << n;
}

void WordsTest::wordsCommands_buildPhraseOfN()
{
    QFETCH(QString, item);
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
    QCOMPARE(m_fake->boxText(QStringLiteral("Text2")), QStringLiteral("%1").arg(words, 2, 10, QLatin1Char('0')));
    const int last = (words - 1) % 4 + 1;
    QCOMPARE(m_fake->boxText(QStringLiteral("Text3")), QStringLiteral("%1 %1").arg(last));
    QCOMPARE(m_fake->caption(QStringLiteral("CH")),
             QStringLiteral("Charaters  ") + QString::number(expected.join(u' ').size()));
    QCOMPARE(state().LoopIndex.value(), words + 1);
    QCOMPARE(m_fake->openFiles(), 0);
}

void WordsTest::wordsCommand_writesPhraseBoxStepByStep()
{
    start({QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")});
    m_fake->setPhraseText(QStringLiteral("old phrase"));
    m_fake->queueDraws({0.5f, 0.0f, 0.9f});
    m_fake->choose(QStringLiteral("W3"));
    QCOMPARE(m_fake->phraseWrites(),
             (QStringList{QString(), QStringLiteral("beta "), QStringLiteral("beta alpha "),
                          QStringLiteral("beta alpha gamma "), QStringLiteral("beta alpha gamma")}));
    QCOMPARE(state().Pick.value(), 3.0);
    QCOMPARE(state().Word, QStringLiteral("gamma"));
}

void WordsTest::wordsCommand_edgeLists_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("trace");
    QTest::addRow("empty list gives n-1 spaces") << QByteArray() << "W4" << "   " << "0 1";
    QTest::addRow("one item repeats") << QByteArray("solo\n") << "W3" << "solo solo solo" << "1 1";
    QTest::addRow("item ending in a space keeps it") << QByteArray("end \n") << "W2" << "end  end " << "1 1";
    QTest::addRow("one word, no spaces") << QByteArray("apple\n") << "W1" << "apple" << "1 1";
}

void WordsTest::wordsCommand_edgeLists()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, item);
    QFETCH(QString, phrase);
    QFETCH(QString, trace);
    m_fake->setWordList(file);
    m_form->load();
    m_fake->choose(item);
    QCOMPARE(m_fake->phraseText(), phrase);
    QCOMPARE(m_fake->boxText(QStringLiteral("Text3")), trace);
    QCOMPARE(m_fake->caption(QStringLiteral("CH")), QStringLiteral("Charaters  ") + QString::number(phrase.size()));
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
    QCOMPARE(m_fake->caption(QStringLiteral("CH")), QStringLiteral("Characters 0"));
    start({word});
    m_fake->choose(QStringLiteral("W1"));
    QCOMPARE(m_fake->caption(QStringLiteral("CH")), caption);
}

void WordsTest::unknownError_inHandler_isReportedAndProgramGoesOn()
{
    start({QStringLiteral("alpha")});
    m_fake->failWrites(QStringLiteral("Text3"), 5);
    m_fake->choose(QStringLiteral("W2"));
    // The handler stopped at the failing write: one word in, trailing space not cut, counter
    // not refreshed; the user saw the error, and the program did not end.
    QCOMPARE(m_fake->phraseText(), QStringLiteral("alpha "));
    QCOMPARE(m_fake->caption(QStringLiteral("CH")), QStringLiteral("Characters 0"));
    QCOMPARE(m_fake->messages().size(), 1);
    QCOMPARE(m_fake->messages().at(0).prompt, QStringLiteral("Error 5: scripted failure"));
    QCOMPARE(m_fake->messages().at(0).title, QStringLiteral("Lexitrove"));
    QVERIFY(!m_fake->hasEnded());
    m_fake->failWrites(QStringLiteral("Text3"), 0);
    m_fake->choose(QStringLiteral("W1"));
    QCOMPARE(m_fake->phraseText(), QStringLiteral("alpha"));
}

QTEST_GUILESS_MAIN(WordsTest)
#include "words_test.moc"
