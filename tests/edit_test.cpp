// SPDX-License-Identifier: MIT
// The "Change Tex" commands, chosen through the window's menu on the double.
#include "fixture.h"
#include "ui/window_description.h"

#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kCounterAtStart = u"Characters 0"_s;

QString loneHighSurrogate()
{
    return QString(QChar(char16_t(0xD801)));
}

// What the phrase box is given, write by write: only "Capital Letters First" empties it first.
QStringList expectedWrites(Item command, const QString& after)
{
    if (command == Item::CLF)
        return {QString(), after};
    return {after};
}

} // namespace

class EditTest : public FormTest
{
    Q_OBJECT

private:

    void addSpacingRows(const char* name, const QString& before, const QString& removed, const QString& dashed,
                        const QString& dotted)
    {
        QTest::addRow("RS %s", name) << Item::RS << before << removed;
        QTest::addRow("AD %s", name) << Item::AD << before << dashed;
        QTest::addRow("ADd %s", name) << Item::ADd << before << dotted;
    }

private Q_SLOTS:

    void caseCommand_rewritesPhraseOneCharacterForOne_data()
    {
        QTest::addColumn<Item>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addRow("CL mixed case") << Item::CL << u"Mixed Case 42"_s << u"MIXED CASE 42"_s;
        QTest::addRow("LCL mixed case") << Item::LCL << u"Mixed Case 42"_s << u"mixed case 42"_s;
        QTest::addRow("CL empty") << Item::CL << QString() << QString();
        QTest::addRow("LCL empty") << Item::LCL << QString() << QString();
        QTest::addRow("CL unchanged still written") << Item::CL << u"ABC"_s << u"ABC"_s;
        QTest::addRow("CL sharp s stays") << Item::CL << u"straße"_s << u"STRAßE"_s;
        QTest::addRow("LCL capital sharp s") << Item::LCL << u"STRAẞE"_s << u"straße"_s;
        QTest::addRow("CL final sigma") << Item::CL << u"λόγος"_s << u"ΛΌΓΟΣ"_s;
        QTest::addRow("LCL sigma has no final form") << Item::LCL << u"ΛΌΓΟΣ"_s << u"λόγοσ"_s;
        QTest::addRow("CL dotless and dotted i") << Item::CL << u"ıi"_s << u"II"_s;
        QTest::addRow("LCL capital dotted i") << Item::LCL << u"İI"_s << u"ii"_s;
        QTest::addRow("CL iota subscript") << Item::CL << u"ᾳ ᾀ"_s << u"ᾼ ᾈ"_s;
        QTest::addRow("CL surrogate pair") << Item::CL << u"𐐨𐐩 x"_s << u"𐐀𐐁 X"_s;
        QTest::addRow("LCL surrogate pair") << Item::LCL << u"𐐀x"_s << u"𐐨x"_s;
        QTest::addRow("CL lone surrogate") << Item::CL << loneHighSurrogate() + u"x"_s << loneHighSurrogate() + u"X"_s;
        QTest::addRow("CL controls and no-break space") << Item::CL << u"a\tb\rc\u00A0d\ne"_s << u"A\tB\rC\u00A0D\nE"_s;

        QTest::addRow("CLF empty") << Item::CLF << QString() << QString();
        QTest::addRow("CLF one letter") << Item::CLF << u"x"_s << u"X"_s;
        QTest::addRow("CLF words") << Item::CLF << u"hello world"_s << u"Hello World"_s;
        QTest::addRow("CLF nothing lowered") << Item::CLF << u"hELLO wORLD"_s << u"HELLO WORLD"_s;
        QTest::addRow("CLF after dashes and dots") << Item::CLF << u"one-two.three"_s << u"One-two.three"_s;
        QTest::addRow("CLF leading and double space") << Item::CLF << u" two  spaces"_s << u" Two  Spaces"_s;
        QTest::addRow("CLF trailing space") << Item::CLF << u"word "_s << u"Word "_s;
        QTest::addRow("CLF line feed") << Item::CLF << u"line\nbreak\n\nend"_s << u"Line\nBreak\n\nEnd"_s;
        QTest::addRow("CLF CRLF") << Item::CLF << u"first\r\nsecond"_s << u"First\r\nSecond"_s;
        QTest::addRow("CLF tab CR no-break space")
            << Item::CLF << u"a\tb\rc\u00A0d\u3000e"_s << u"A\tb\rc\u00A0d\u3000e"_s;
        QTest::addRow("CLF digits") << Item::CLF << u"3 apples"_s << u"3 Apples"_s;
        QTest::addRow("CLF letter after digit") << Item::CLF << u"3d view"_s << u"3d View"_s;
        QTest::addRow("CLF sharp s, dotless i, final sigma") << Item::CLF << u"ßa ıi ς"_s << u"ßa Ii Σ"_s;
        QTest::addRow("CLF dotted capital i") << Item::CLF << u"istanbul İzmir"_s << u"Istanbul İzmir"_s;
        QTest::addRow("CLF iota subscript") << Item::CLF << u"ᾳᾳ ᾳ"_s << u"ᾼᾳ ᾼ"_s;
        // A pair is two characters here, and half a pair is not a letter: neither is raised.
        QTest::addRow("CLF surrogate pair") << Item::CLF << u"𐐨 a 𐐨"_s << u"𐐨 A 𐐨"_s;
    }
    void caseCommand_rewritesPhraseOneCharacterForOne()
    {
        QFETCH(Item, command);
        QFETCH(QString, before);
        QFETCH(QString, after);
        m_fake->setPhraseText(before);
        m_fake->choose(command);
        QCOMPARE(m_fake->phraseText(), after);
        QCOMPARE(m_fake->phraseText().size(), before.size());
        QCOMPARE(m_fake->phraseWrites(), expectedWrites(command, after));
    }

    void spacingCommand_rewritesSpacesOnly_data()
    {
        QTest::addColumn<Item>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        addSpacingRows("words", u"red blue green"_s, u"redbluegreen"_s, u"red-blue-green"_s, u"red.blue.green"_s);
        addSpacingRows("double space", u"a  b"_s, u"ab"_s, u"a--b"_s, u"a..b"_s);
        addSpacingRows("leading and trailing", u" a "_s, u"a"_s, u"-a-"_s, u".a."_s);
        addSpacingRows("spaces only", u"   "_s, QString(), u"---"_s, u"..."_s);
        addSpacingRows("empty", QString(), QString(), QString(), QString());
        addSpacingRows("no spaces", u"redfox"_s, u"redfox"_s, u"redfox"_s, u"redfox"_s);
        const QString otherBlanks = u"a\tb\r\nc\u00A0d\u3000e"_s;
        addSpacingRows("other blanks stay", otherBlanks, otherBlanks, otherBlanks, otherBlanks);
        addSpacingRows("surrogate pair", u"𐐨 x"_s, u"𐐨x"_s, u"𐐨-x"_s, u"𐐨.x"_s);
        QTest::addRow("ADd keeps dashes") << Item::ADd << u"a-b c"_s << u"a-b.c"_s;
        QTest::addRow("AD keeps dots") << Item::AD << u"a.b c"_s << u"a.b-c"_s;
    }
    void spacingCommand_rewritesSpacesOnly()
    {
        QFETCH(Item, command);
        QFETCH(QString, before);
        QFETCH(QString, after);
        m_fake->setPhraseText(before);
        m_fake->choose(command);
        QCOMPARE(m_fake->phraseText(), after);
        QCOMPARE(m_fake->phraseWrites(), expectedWrites(command, after));
        QCOMPARE(state().Acc, after);
    }

    // Every field is given a value no command would leave, so that both what a command sets
    // and what it must not touch show.
    void command_leavesFormStateAndScratchBox_data()
    {
        QTest::addColumn<Item>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<qint32>("pos");
        QTest::addColumn<qint16>("capNext");
        QTest::addColumn<QChar>("ch");
        QTest::addColumn<QString>("acc");
        QTest::addColumn<QString>("scratch");
        const qint32 pos = -7;
        const qint16 capNext = 1;
        const QChar ch = u'z';
        const QString acc = u"earlier"_s;
        const QString trace = u"5 3"_s;
        QTest::addRow("CL") << Item::CL << u"ab cd"_s << pos << capNext << ch << acc << trace;
        QTest::addRow("LCL") << Item::LCL << u"ab cd"_s << pos << capNext << ch << acc << trace;
        QTest::addRow("CLF empty") << Item::CLF << QString() << 1 << qint16(0) << ch << acc << QString();
        QTest::addRow("CLF letter last") << Item::CLF << u"ab cd"_s << 6 << qint16(0) << QChar(u'd') << acc
                                         << u"Ab Cd"_s;
        QTest::addRow("CLF raised last") << Item::CLF << u"x y"_s << 4 << qint16(0) << QChar(u'Y') << acc
                                         << u"X Y"_s;
        QTest::addRow("CLF space last") << Item::CLF << u"ab "_s << 4 << qint16(1) << QChar(u' ') << acc << u"Ab "_s;
        QTest::addRow("CLF line feed last") << Item::CLF << u"ab\n"_s << 4 << qint16(1) << QChar(u'\n') << acc
                                            << u"Ab\n"_s;
        QTest::addRow("CLF tab last") << Item::CLF << u"ab\t"_s << 4 << qint16(0) << QChar(u'\t') << acc
                                      << u"Ab\t"_s;
        QTest::addRow("RS empty") << Item::RS << QString() << 1 << capNext << ch << QString() << trace;
        QTest::addRow("RS") << Item::RS << u"a b "_s << 5 << capNext << ch << u"ab"_s << trace;
        QTest::addRow("AD") << Item::AD << u"a b"_s << 4 << capNext << ch << u"a-b"_s << trace;
        QTest::addRow("ADd surrogate pair") << Item::ADd << u"a 𐐨"_s << 5 << capNext << ch << u"a.𐐨"_s << trace;
    }
    void command_leavesFormStateAndScratchBox()
    {
        QFETCH(Item, command);
        QFETCH(QString, before);
        state().Pos = -7;
        state().CapNext = 1;
        state().Ch.value = u'z';
        state().Acc = u"earlier"_s;
        m_fake->setText(Box::Text3, u"5 3"_s);
        m_fake->setPhraseText(before);
        m_fake->choose(command);
        QTEST(state().Pos, "pos");
        QTEST(state().CapNext, "capNext");
        QTEST(state().Ch.value, "ch");
        QTEST(state().Acc, "acc");
        QTEST(m_fake->boxText(Box::Text3), "scratch");
    }

    void counter_refreshedByRemoveSpacesOnly_data()
    {
        QTest::addColumn<Item>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("captionBefore");
        QTest::addColumn<QString>("captionAfter");
        QTest::addRow("RS empty at start") << Item::RS << QString() << kCounterAtStart << u"Charaters  0"_s;
        QTest::addRow("RS words") << Item::RS << u"red blue green"_s << u"Charaters  14"_s << u"Charaters  12"_s;
        QTest::addRow("RS spaces only") << Item::RS << u"   "_s << u"Charaters  3"_s << u"Charaters  0"_s;
        QTest::addRow("RS nothing removed") << Item::RS << u"redfox"_s << u"Charaters  99"_s << u"Charaters  6"_s;
        QTest::addRow("RS surrogate pair counts 2") << Item::RS << u"a 𐐨"_s << kCounterAtStart << u"Charaters  3"_s;
        QTest::addRow("RS three digits") << Item::RS << QString(103, u'a') + u" b"_s << kCounterAtStart
                                         << u"Charaters  104"_s;
        for (const Item command : {Item::CL, Item::LCL, Item::CLF, Item::AD, Item::ADd}) {
            const QByteArray name = QString::fromUtf16(WindowDescription::menuRow(command).name).toLatin1();
            QTest::addRow("%s keeps count", name.constData())
                << command << u"red blue green"_s << u"Charaters  14"_s << u"Charaters  14"_s;
            QTest::addRow("%s keeps start caption", name.constData())
                << command << QString() << kCounterAtStart << kCounterAtStart;
        }
    }
    void counter_refreshedByRemoveSpacesOnly()
    {
        QFETCH(Item, command);
        QFETCH(QString, before);
        QFETCH(QString, captionBefore);
        m_fake->setCaption(Item::CH, captionBefore);
        m_fake->setPhraseText(before);
        m_fake->choose(command);
        QTEST(m_fake->caption(Item::CH), "captionAfter");
    }

    void commandsInSequence_keepCountTrue()
    {
        m_fake->setPhraseText(u"red blue green"_s);
        m_fake->choose(Item::RS);
        QCOMPARE(m_fake->caption(Item::CH), u"Charaters  12"_s);
        m_fake->setPhraseText(u"red blue green"_s);
        for (const Item command : {Item::AD, Item::ADd, Item::CLF, Item::RS, Item::LCL, Item::CL})
            m_fake->choose(command);
        QCOMPARE(m_fake->phraseText(), u"RED-BLUE-GREEN"_s);
        QCOMPARE(m_fake->caption(Item::CH), u"Charaters  14"_s);
        // One write each, two for "Capital Letters First", and the first RS above.
        QCOMPARE(m_fake->phraseWrites().size(), 1 + 7);
    }
};

QTEST_GUILESS_MAIN(EditTest)
#include "edit_test.moc"
