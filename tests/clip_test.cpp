// SPDX-License-Identifier: MIT
// Clipboard mirroring, "Copy Text" with its pause, and "InFo", through the double.
#include "fixture.h"

#include <QtTest>

#include <memory>

using Readings = QList<float>;

namespace {

constexpr Box kPhraseBox = Box::Text1;
constexpr Item kCopy = Item::Ct1;

} // namespace

class ClipTest : public FormTest
{
    Q_OBJECT

private:

    // Starts the program on a three-word list; draws of 0, 0.4 and 0.7 pick them in order.
    void start()
    {
        m_fake->setWordLines({QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")});
        m_form->load();
    }
    bool confirming() const
    {
        return m_fake->caption(kCopy) == u"Text Copied" && !m_fake->isEnabled(kCopy);
    }
    bool ready() const { return m_fake->caption(kCopy) == u"Copy Text" && m_fake->isEnabled(kCopy); }

private Q_SLOTS:

    void startUp_leavesClipboardAlone();
    void phraseWrite_isMirrored_data();
    void phraseWrite_isMirrored();
    void hiddenBoxWrites_areNotMirrored();
    void generation_mirrorsEveryWriteAndEndsWithThePhrase();
    void copyText_emptyBox_doesNothing();
    void copyText_putsPhraseBackAfterAnotherProgram_data();
    void copyText_putsPhraseBackAfterAnotherProgram();
    void copyText_ordersItsSteps();
    void pause_lastsUntilASecondHasPassed_data();
    void pause_lastsUntilASecondHasPassed();
    void pause_confirmsUntilItsEnd();
    void pause_runsNestedCommands_data();
    void pause_runsNestedCommands();
    void pause_endOfProcess_leavesCaptionAndRunsNothingMore_data();
    void pause_endOfProcess_leavesCaptionAndRunsNothingMore();
    void info_showsNoticeAndTwoSpaceLines();
    void info_changesNothingElse();
};

void ClipTest::startUp_leavesClipboardAlone()
{
    start();
    QVERIFY(m_fake->clipboardLog().isEmpty());
    QVERIFY(m_fake->phraseWrites().isEmpty());
}

void ClipTest::phraseWrite_isMirrored_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("words") << QStringLiteral("alpha beta");
    QTest::addRow("empty") << QString();
    QTest::addRow("spaces only") << QStringLiteral("   ");
    QTest::addRow("tabs and line breaks") << QStringLiteral("a\tb\r\nc");
    QTest::addRow("outside the basic plane") << QString::fromUtf16(u"key \U0001F511 ring");
}

void ClipTest::phraseWrite_isMirrored()
{
    QFETCH(QString, text);
    start();
    m_fake->setText(kPhraseBox, text);
    QCOMPARE(m_fake->clipboardLog(), QStringList{text});
    // The same text again still mirrors: another program may have taken the clipboard since.
    m_fake->setText(kPhraseBox, text);
    QCOMPARE(m_fake->clipboardLog(), (QStringList{text, text}));
    QCOMPARE(m_fake->clipboard(), text);
}

void ClipTest::hiddenBoxWrites_areNotMirrored()
{
    start();
    m_fake->setText(Box::Text2, QStringLiteral("07"));
    m_fake->setText(Box::Text3, QStringLiteral("3 3"));
    QVERIFY(m_fake->clipboardLog().isEmpty());
}

void ClipTest::generation_mirrorsEveryWriteAndEndsWithThePhrase()
{
    start();
    m_fake->setPhraseText(QStringLiteral("old phrase"));
    m_fake->queueDraws({0.0f, 0.4f, 0.7f});
    m_fake->choose(Item::W3);
    QCOMPARE(m_fake->clipboard(), QStringLiteral("alpha beta gamma"));
    // Emptied, three words appended with their spaces, the last space cut: each mirrored in turn.
    QCOMPARE(m_fake->phraseWrites().size(), 5);
    QCOMPARE(m_fake->phraseWrites().first(), QString());
    QCOMPARE(m_fake->clipboardLog(), m_fake->phraseWrites());
}

void ClipTest::copyText_emptyBox_doesNothing()
{
    start();
    m_fake->replaceClipboard(QStringLiteral("from elsewhere"));
    const QStringList before = m_fake->journal();
    m_fake->choose(kCopy);
    QCOMPARE(m_fake->journal(), before);
    QCOMPARE(m_fake->clipboard(), QStringLiteral("from elsewhere"));
    QVERIFY(ready());
    QCOMPARE(m_fake->clockReadings(), 0);
}

void ClipTest::copyText_putsPhraseBackAfterAnotherProgram_data()
{
    QTest::addColumn<QString>("phrase");
    QTest::addRow("words") << QStringLiteral("alpha beta");
    QTest::addRow("a single space") << QStringLiteral(" ");
    QTest::addRow("spaces only") << QStringLiteral("   ");
}

void ClipTest::copyText_putsPhraseBackAfterAnotherProgram()
{
    QFETCH(QString, phrase);
    start();
    m_fake->setText(kPhraseBox, phrase);
    m_fake->replaceClipboard(QStringLiteral("from elsewhere"));
    m_fake->setClock(100.0f, 0.25f);
    m_fake->choose(kCopy);
    QCOMPARE(m_fake->clipboard(), phrase);
    QVERIFY(m_fake->journal().contains(QStringLiteral("caption:Ct1:Text Copied")));
    QVERIFY(ready());
}

void ClipTest::copyText_ordersItsSteps()
{
    start();
    m_fake->setText(kPhraseBox, QStringLiteral("alpha"));
    // Start, a pass that is not over, a pass that is.
    m_fake->queueClock({100.0f, 100.5f, 100.5f, 101.0f});
    const qsizetype before = m_fake->journal().size();
    m_fake->choose(kCopy);
    const QStringList steps = m_fake->journal().mid(before);
    const QStringList expected = {
        QStringLiteral("enabled:Ct1:0"),
        QStringLiteral("clipboard:alpha"),
        QStringLiteral("caption:Ct1:Text Copied"),
        QStringLiteral("pump"),
        QStringLiteral("pump"),
        QStringLiteral("caption:Ct1:Copy Text"),
        QStringLiteral("enabled:Ct1:1"),
    };
    QCOMPARE(steps, expected);
}

void ClipTest::pause_lastsUntilASecondHasPassed_data()
{
    // The readings come in the handler's order: TStart, then for each pass the end test and,
    // if the pause goes on, the midnight test after the pump.
    QTest::addColumn<Readings>("clock");
    QTest::addColumn<int>("pausePumps");
    QTest::addColumn<float>("lastStart");
    QTest::addRow("over at the first test") << Readings{100.0f, 101.0f} << 0 << 100.0f;
    QTest::addRow("exactly one second") << Readings{100.0f, 100.5f, 100.75f, 101.0f} << 1 << 100.0f;
    QTest::addRow("a hair short of it")
        << Readings{100.0f, 100.99f, 100.995f, 100.99999f, 100.99999f, 101.0f} << 2 << 100.0f;
    QTest::addRow("a reading equal to the start is no wrap")
        << Readings{500.0f, 500.0f, 500.0f, 500.5f, 500.5f, 501.25f} << 2 << 500.0f;
    // 86399.5 .. 86399.9, wrap, then a full second from 0.2: 1.7 seconds in all.
    QTest::addRow("midnight: starts over")
        << Readings{86399.5f, 86399.9f, 0.1f, 0.2f, 0.7f, 0.8f, 1.2f} << 2 << 0.2f;
    // Without the restart the end, 86400.75, would never be read.
    QTest::addRow("midnight: wrap seen right at the end")
        << Readings{86399.75f, 86399.99f, 0.0f, 0.0f, 0.5f, 0.6f, 0.99f, 0.995f, 1.0f} << 3 << 0.0f;
}

void ClipTest::pause_lastsUntilASecondHasPassed()
{
    QFETCH(Readings, clock);
    QFETCH(int, pausePumps);
    QFETCH(float, lastStart);
    start();
    m_fake->setText(kPhraseBox, QStringLiteral("alpha"));
    for (float reading : clock)
        m_fake->queueClock({reading});
    // Past the script the clock stands beyond any day, so a pause that misreads it ends instead of hanging.
    m_fake->setClock(100000.0f);
    m_fake->choose(kCopy);
    QCOMPARE(m_fake->clockReadings(), clock.size());
    QCOMPARE(m_fake->pumps(), 1 + pausePumps);
    QCOMPARE(m_form->state().TStart, lastStart);
    QVERIFY(ready());
}

void ClipTest::pause_confirmsUntilItsEnd()
{
    start();
    m_fake->setText(kPhraseBox, QStringLiteral("alpha"));
    m_fake->setClock(1000.0f, 0.125f);
    int checked = 0;
    for (int i = 0; i < 12; ++i)
        m_fake->queueDuringPump([&] { checked += confirming() ? 1 : 0; });
    m_fake->choose(kCopy);
    // One pump before the pause, then one per pass while the end test reads 1000.125 .. 1000.875.
    QCOMPARE(m_fake->pumps(), 5);
    QCOMPARE(checked, 5);
    QVERIFY(ready());
}

void ClipTest::pause_runsNestedCommands_data()
{
    QTest::addColumn<Item>("item");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::addColumn<int>("messages");
    QTest::addRow("Words (02)") << Item::W2 << QStringLiteral("beta gamma") << 0;
    QTest::addRow("InFo") << Item::InF << QStringLiteral("alpha") << 1;
    // Disabled while confirming: a second click starts no second pause.
    QTest::addRow("Copy Text again") << kCopy << QStringLiteral("alpha") << 0;
}

void ClipTest::pause_runsNestedCommands()
{
    QFETCH(Item, item);
    QFETCH(QString, clipboardAfter);
    QFETCH(int, messages);
    start();
    m_fake->setText(kPhraseBox, QStringLiteral("alpha"));
    m_fake->queueDraws({0.4f, 0.7f});
    m_fake->setClock(1000.0f, 0.125f);
    bool confirmingAfterNested = false;
    m_fake->queueDuringPump([] {});
    m_fake->queueDuringPump([&] {
        m_fake->choose(item);
        confirmingAfterNested = confirming();
    });
    m_fake->choose(kCopy);
    QVERIFY(confirmingAfterNested);
    QCOMPARE(m_fake->clipboard(), clipboardAfter);
    QCOMPARE(m_fake->messages().size(), messages);
    QCOMPARE(m_fake->journal().count(QStringLiteral("caption:Ct1:Text Copied")), 1);
    QVERIFY(ready());
}

void ClipTest::pause_endOfProcess_leavesCaptionAndRunsNothingMore_data()
{
    QTest::addColumn<bool>("closeWindow");
    QTest::addColumn<int>("exitStatus");
    QTest::addRow("window closed") << true << 0;
    QTest::addRow("word list gone during Words (01)") << false << 1;
}

void ClipTest::pause_endOfProcess_leavesCaptionAndRunsNothingMore()
{
    QFETCH(bool, closeWindow);
    QFETCH(int, exitStatus);
    start();
    m_fake->setText(kPhraseBox, QStringLiteral("alpha"));
    m_fake->setClock(1000.0f, 0.125f);
    m_fake->queueDuringPump([] {});
    m_fake->queueDuringPump([&] {
        if (closeWindow) {
            m_fake->requestClose();
        } else {
            m_fake->removeWordList();
            m_fake->choose(Item::W1);
        }
    });
    bool ranAfterEnd = false;
    m_fake->queueDuringPump([&] { ranAfterEnd = true; });
    m_fake->choose(kCopy);
    QCOMPARE(m_fake->exitStatus(), exitStatus);
    QCOMPARE(m_fake->pumps(), 2);
    QVERIFY(!ranAfterEnd);
    QVERIFY(confirming());
    // Whatever the user still chooses, nothing runs.
    const QStringList journal = m_fake->journal();
    m_fake->choose(Item::W2);
    QCOMPARE(m_fake->journal(), journal);
}

void ClipTest::info_showsNoticeAndTwoSpaceLines()
{
    start();
    m_fake->choose(Item::InF);
    QCOMPARE(m_fake->messages().size(), 1);
    const FakePlatform::Message message = m_fake->messages().first();
    QCOMPARE(message.icon, MessageIcon::Exclamation);
    QCOMPARE(message.title, QStringLiteral("Lexitrove"));
    QVERIFY(message.prompt.endsWith(QStringLiteral("\r\n \r\n ")));
    const QString notice = message.prompt.chopped(6);
    QVERIFY(!notice.trimmed().isEmpty());
    QVERIFY(!notice.contains(u'\r') && !notice.contains(u'\n'));
}

void ClipTest::info_changesNothingElse()
{
    start();
    m_fake->setText(kPhraseBox, QStringLiteral("alpha beta"));
    const QStringList journal = m_fake->journal();
    m_fake->choose(Item::InF);
    m_fake->choose(Item::InF);
    QCOMPARE(m_fake->messages().size(), 2);
    QCOMPARE(m_fake->messages().at(1).prompt, m_fake->messages().at(0).prompt);
    QCOMPARE(m_fake->journal(), journal);
    QCOMPARE(m_fake->phraseWrites().size(), 1);
    QCOMPARE(m_fake->phraseText(), QStringLiteral("alpha beta"));
}

QTEST_GUILESS_MAIN(ClipTest)
#include "clip_test.moc"
