// SPDX-License-Identifier: MIT
// The closing sequence through the double: the moves of each pass, the frames between them, the
// bound, and the end of the process whatever the window system does with the moves.
#include "app/closing.h"
#include "fixture.h"

#include <QtTest>

#include <optional>

class ClosingTest : public FormTest
{
    Q_OBJECT

private:
    QList<float> writesOf(Geometry which) const
    {
        QList<float> values;
        for (const auto& [written, twips] : m_fake->geometryWrites()) {
            if (written == which)
                values.append(twips);
        }
        return values;
    }
    // Closes the window the way the desktop does and checks the unload ended the process.
    void closeAndExpectEnd()
    {
        QVERIFY(m_fake->requestClose());
        QVERIFY(m_fake->hasEnded());
        QCOMPARE(m_fake->exitStatus(), 0);
    }

private Q_SLOTS:
    void init()
    {
        FormTest::init();
        m_fake->setGeometryValue(Geometry::Top, 1200.0f);
        m_fake->setScreenWidth(28800.0f);
    }

    void firstPass_shrinksAboutTheCentre();
    void passes_endOnceTopPassesTheScreenWidth_data();
    void passes_endOnceTopPassesTheScreenWidth();
    void windowThatCannotMove_endsWithoutHanging_data();
    void windowThatCannotMove_endsWithoutHanging();
    void refusedStep_leavesTheOthersGoing_data();
    void refusedStep_leavesTheOthersGoing();
    void smallestSize_windowKeepsMovingFromFreshReads();
    void betweenPasses_nothingElseRuns_data();
    void betweenPasses_nothingElseRuns();
    void handler_endsByProcessEndAndNeverCancels();
    void closeDuringCopyPause_endsThereAndThen();
};

void ClosingTest::firstPass_shrinksAboutTheCentre()
{
    m_fake->setGeometryValue(Geometry::Left, 600.0f);
    m_fake->setGeometryValue(Geometry::Width, 13740.0f);
    m_fake->setGeometryValue(Geometry::Height, 1500.0f);
    closeAndExpectEnd();
    const QList<std::pair<Geometry, float>> firstPass = m_fake->geometryWrites().mid(0, 4);
    const QList<std::pair<Geometry, float>> expected = {
        {Geometry::Top, 1230.0f}, {Geometry::Left, 630.0f}, {Geometry::Width, 13680.0f}, {Geometry::Height, 1440.0f}};
    QCOMPARE(firstPass, expected);
}

void ClosingTest::passes_endOnceTopPassesTheScreenWidth_data()
{
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("screenWidth");
    QTest::addColumn<int>("passes");
    QTest::addColumn<float>("lastTop");
    QTest::addRow("1,200 on a 1,920-pixel screen") << 1200.0f << 28800.0f << 921 << 28830.0f;
    QTest::addRow("already beyond the bound: one pass") << 30000.0f << 28800.0f << 1 << 30030.0f;
    QTest::addRow("on the bound: one pass") << 28800.0f << 28800.0f << 1 << 28830.0f;
    QTest::addRow("one step short: the bound itself goes on") << 28770.0f << 28800.0f << 2 << 28830.0f;
    QTest::addRow("above the screen") << -600.0f << 28800.0f << 981 << 28830.0f;
    QTest::addRow("narrow screen, bound below the top edge") << 9000.0f << 15360.0f << 213 << 15390.0f;
}

void ClosingTest::passes_endOnceTopPassesTheScreenWidth()
{
    QFETCH(float, top);
    QFETCH(float, screenWidth);
    QFETCH(int, passes);
    QFETCH(float, lastTop);
    m_fake->setGeometryValue(Geometry::Top, top);
    m_fake->setScreenWidth(screenWidth);
    closeAndExpectEnd();
    const QList<float> tops = writesOf(Geometry::Top);
    QCOMPARE(tops.size(), passes);
    QCOMPARE(tops.last(), lastTop);
    QCOMPARE(writesOf(Geometry::Height).size(), passes);
    // The platform gets its frame between two passes, after all four moves, and only there.
    QList<qsizetype> between;
    for (int pass = 1; pass < passes; ++pass)
        between.append(4 * pass);
    QCOMPARE(m_fake->frameWaits(), between);
}

void ClosingTest::windowThatCannotMove_endsWithoutHanging_data()
{
    QTest::addColumn<bool>("refuseAll");
    QTest::addColumn<float>("top");
    QTest::addColumn<float>("topLowest");
    QTest::addColumn<float>("topHighest");
    QTest::addColumn<int>("topWrites");
    const float far = 1e30f;
    QTest::addRow("minimised or maximised: every write refused") << true << 1200.0f << -far << far << 0;
    QTest::addRow("positions ignored by the compositor") << false << 1200.0f << 1200.0f << 1200.0f << 1;
    QTest::addRow("held at the edge of the desktop") << false << 1200.0f << -far << 9000.0f << 261;
    QTest::addRow("pushed back up") << false << 1200.0f << -far << 600.0f << 1;
    QTest::addRow("too far out for 30 twips to count") << false << 1.0e9f << -far << far << 1;
}

void ClosingTest::windowThatCannotMove_endsWithoutHanging()
{
    QFETCH(bool, refuseAll);
    QFETCH(float, top);
    QFETCH(float, topLowest);
    QFETCH(float, topHighest);
    QFETCH(int, topWrites);
    m_fake->setGeometryValue(Geometry::Top, top);
    m_fake->setScreenWidth(2.0e9f);
    m_fake->clampGeometry(Geometry::Top, topLowest, topHighest);
    for (Geometry which : {Geometry::Top, Geometry::Left, Geometry::Width, Geometry::Height})
        m_fake->refuseGeometry(which, refuseAll);
    closeAndExpectEnd();
    QCOMPARE(writesOf(Geometry::Top).size(), topWrites);
    // A window that cannot move ends at once, without waiting for a frame.
    QCOMPARE(m_fake->frameWaits().size(), qMax(topWrites - 1, 0));
}

void ClosingTest::refusedStep_leavesTheOthersGoing_data()
{
    QTest::addColumn<int>("refused");
    QTest::addColumn<QList<int>>("writes"); // Top, Left, Width, Height
    QTest::addRow("Top: the pass still runs, then the end") << int(Geometry::Top) << QList<int>{0, 1, 1, 1};
    QTest::addRow("Left") << int(Geometry::Left) << QList<int>{921, 0, 921, 921};
    QTest::addRow("Width") << int(Geometry::Width) << QList<int>{921, 921, 0, 921};
    QTest::addRow("Height") << int(Geometry::Height) << QList<int>{921, 921, 921, 0};
}

void ClosingTest::refusedStep_leavesTheOthersGoing()
{
    QFETCH(int, refused);
    QFETCH(QList<int>, writes);
    m_fake->setMinimumSize(0.0f, 0.0f);
    m_fake->refuseGeometry(Geometry(refused));
    const float before = m_fake->geometryValue(Geometry(refused));
    closeAndExpectEnd();
    const QList<int> counts = {int(writesOf(Geometry::Top).size()), int(writesOf(Geometry::Left).size()),
                               int(writesOf(Geometry::Width).size()), int(writesOf(Geometry::Height).size())};
    QCOMPARE(counts, writes);
    QCOMPARE(m_fake->geometryValue(Geometry(refused)), before);
}

void ClosingTest::smallestSize_windowKeepsMovingFromFreshReads()
{
    m_fake->setGeometryValue(Geometry::Left, 1200.0f);
    m_fake->setMinimumSize(1800.0f, 900.0f);
    closeAndExpectEnd();
    QCOMPARE(writesOf(Geometry::Top).size(), 921);
    QCOMPARE(m_fake->geometryValue(Geometry::Left), 28830.0f);
    QCOMPARE(m_fake->geometryValue(Geometry::Width), 1800.0f);
    QCOMPARE(m_fake->geometryValue(Geometry::Height), 900.0f);
    // Each pass starts from what the platform holds, not from what was written last.
    QCOMPARE(writesOf(Geometry::Width).last(), 1740.0f);
    QCOMPARE(writesOf(Geometry::Height).last(), 840.0f);
}

void ClosingTest::betweenPasses_nothingElseRuns_data()
{
    QTest::addColumn<bool>("closeAgain"); // the desktop asks to close the window again
    QTest::addColumn<Item>("item");       // otherwise this item is chosen
    QTest::addRow("Words (01)") << false << Item::W1;
    QTest::addRow("Capital Letters") << false << Item::CL;
    QTest::addRow("Copy Text") << false << Item::Ct1;
    QTest::addRow("InFo") << false << Item::InF;
    QTest::addRow("a second close request") << true << Item::W;
}

void ClosingTest::betweenPasses_nothingElseRuns()
{
    QFETCH(bool, closeAgain);
    QFETCH(Item, item);
    m_fake->setWordLines({QStringLiteral("kiwi")});
    m_form->load();
    m_fake->setPhraseText(QStringLiteral("red fox"));
    m_fake->setClock(1000.0f, 0.125f); // a Copy Text pause that started would end
    std::optional<bool> secondMayClose;
    m_fake->queueDuringFrame([] {});
    m_fake->queueDuringFrame([&] {
        if (closeAgain)
            secondMayClose = m_fake->requestClose();
        else
            m_fake->choose(item);
    });
    closeAndExpectEnd();
    QVERIFY(m_fake->phraseWrites().isEmpty());
    QVERIFY(m_fake->journal().isEmpty());
    QVERIFY(m_fake->messages().isEmpty());
    QCOMPARE(secondMayClose, closeAgain ? std::optional<bool>(true) : std::nullopt);
    // One sequence, neither started again nor nested in itself.
    QCOMPARE(writesOf(Geometry::Top).size(), 921);
    QCOMPARE(writesOf(Geometry::Top).last(), 28830.0f);
}

void ClosingTest::handler_endsByProcessEndAndNeverCancels()
{
    FormState state;
    qint16 cancel = 0;
    QVERIFY_THROWS_EXCEPTION(ProcessEnd, Form_Unload(state, *m_fake, cancel));
    QCOMPARE(cancel, qint16(0));
    QCOMPARE(m_fake->exitStatus(), 0);
    // Nothing more runs once the process has ended.
    m_fake->setPhraseText(QStringLiteral("red fox"));
    m_fake->choose(Item::CL);
    QCOMPARE(m_fake->phraseWrites().size(), 0);
}

void ClosingTest::closeDuringCopyPause_endsThereAndThen()
{
    m_fake->setPhraseText(QStringLiteral("red fox"));
    m_fake->queueDuringPump([this] { m_fake->requestClose(); });
    m_fake->choose(Item::Ct1);
    QVERIFY(m_fake->hasEnded());
    QCOMPARE(m_fake->exitStatus(), 0);
    QCOMPARE(writesOf(Geometry::Top).size(), 921);
    // The pause never finished, so the caption was never put back.
    QCOMPARE(m_fake->pumps(), 1);
    QCOMPARE(m_fake->caption(Item::Ct1), QStringLiteral("Text Copied"));
}

QTEST_GUILESS_MAIN(ClosingTest)
#include "closing_test.moc"
