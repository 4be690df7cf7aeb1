// SPDX-License-Identifier: MIT
// The "Change Tex" commands, chosen through the window's menu on the double.
#include "app/form1.h"
#include "fake_platform.h"

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
QStringList expectedWrites(const QString& command, const QString& after)
{
    if (command == u"CLF")
        return {QString(), after};
    return {after};
}

} // namespace

class EditTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakePlatform> m_fake;
    std::unique_ptr<Form1> m_form;
    FormState& state() { return m_form->state(); }

    void addSpacingRows(const char* name, const QString& before, const QString& removed, const QString& dashed,
                        const QString& dotted)
    {
        QTest::addRow("RS %s", name) << u"RS"_s << before << removed;
        QTest::addRow("AD %s", name) << u"AD"_s << before << dashed;
        QTest::addRow("ADd %s", name) << u"ADd"_s << before << dotted;
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

    void caseCommand_rewritesPhraseOneCharacterForOne_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addRow("CL mixed case") << u"CL"_s << u"Mixed Case 42"_s << u"MIXED CASE 42"_s;
        QTest::addRow("LCL mixed case") << u"LCL"_s << u"Mixed Case 42"_s << u"mixed case 42"_s;
        QTest::addRow("CL empty") << u"CL"_s << QString() << QString();
        QTest::addRow("LCL empty") << u"LCL"_s << QString() << QString();
        QTest::addRow("CL unchanged still written") << u"CL"_s << u"ABC"_s << u"ABC"_s;
        QTest::addRow("CL sharp s stays") << u"CL"_s << u"straße"_s << u"STRAßE"_s;
        QTest::addRow("LCL capital sharp s") << u"LCL"_s << u"STRAẞE"_s << u"straße"_s;
        QTest::addRow("CL final sigma") << u"CL"_s << u"λόγος"_s << u"ΛΌΓΟΣ"_s;
        QTest::addRow("LCL sigma has no final form") << u"LCL"_s << u"ΛΌΓΟΣ"_s << u"λόγοσ"_s;
        QTest::addRow("CL dotless and dotted i") << u"CL"_s << u"ıi"_s << u"II"_s;
        QTest::addRow("LCL capital dotted i") << u"LCL"_s << u"İI"_s << u"ii"_s;
        QTest::addRow("CL iota subscript") << u"CL"_s << u"ᾳ ᾀ"_s << u"ᾼ ᾈ"_s;
        QTest::addRow("CL surrogate pair") << u"CL"_s << u"𐐨𐐩 x"_s << u"𐐀𐐁 X"_s;
        QTest::addRow("LCL surrogate pair") << u"LCL"_s << u"𐐀x"_s << u"𐐨x"_s;
        QTest::addRow("CL lone surrogate") << u"CL"_s << loneHighSurrogate() + u"x"_s << loneHighSurrogate() + u"X"_s;
        QTest::addRow("CL controls and no-break space") << u"CL"_s << u"a\tb\rc\u00A0d\ne"_s << u"A\tB\rC\u00A0D\nE"_s;

        QTest::addRow("CLF empty") << u"CLF"_s << QString() << QString();
        QTest::addRow("CLF one letter") << u"CLF"_s << u"x"_s << u"X"_s;
        QTest::addRow("CLF words") << u"CLF"_s << u"hello world"_s << u"Hello World"_s;
        QTest::addRow("CLF nothing lowered") << u"CLF"_s << u"hELLO wORLD"_s << u"HELLO WORLD"_s;
        QTest::addRow("CLF after dashes and dots") << u"CLF"_s << u"one-two.three"_s << u"One-two.three"_s;
        QTest::addRow("CLF leading and double space") << u"CLF"_s << u" two  spaces"_s << u" Two  Spaces"_s;
        QTest::addRow("CLF trailing space") << u"CLF"_s << u"word "_s << u"Word "_s;
        QTest::addRow("CLF line feed") << u"CLF"_s << u"line\nbreak\n\nend"_s << u"Line\nBreak\n\nEnd"_s;
        QTest::addRow("CLF CRLF") << u"CLF"_s << u"first\r\nsecond"_s << u"First\r\nSecond"_s;
        QTest::addRow("CLF tab CR no-break space")
            << u"CLF"_s << u"a\tb\rc\u00A0d\u3000e"_s << u"A\tb\rc\u00A0d\u3000e"_s;
        QTest::addRow("CLF digits") << u"CLF"_s << u"3 apples"_s << u"3 Apples"_s;
        QTest::addRow("CLF letter after digit") << u"CLF"_s << u"3d view"_s << u"3d View"_s;
        QTest::addRow("CLF sharp s, dotless i, final sigma") << u"CLF"_s << u"ßa ıi ς"_s << u"ßa Ii Σ"_s;
        QTest::addRow("CLF dotted capital i") << u"CLF"_s << u"istanbul İzmir"_s << u"Istanbul İzmir"_s;
        QTest::addRow("CLF iota subscript") << u"CLF"_s << u"ᾳᾳ ᾳ"_s << u"ᾼᾳ ᾼ"_s;
        // A pair is two characters here, and half a pair is not a letter: neither is raised.
        QTest::addRow("CLF surrogate pair") << u"CLF"_s << u"𐐨 a 𐐨"_s << u"𐐨 A 𐐨"_s;
    }
    void caseCommand_rewritesPhraseOneCharacterForOne()
    {
        QFETCH(QString, command);
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
        QTest::addColumn<QString>("command");
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
        QTest::addRow("ADd keeps dashes") << u"ADd"_s << u"a-b c"_s << u"a-b.c"_s;
        QTest::addRow("AD keeps dots") << u"AD"_s << u"a.b c"_s << u"a.b-c"_s;
    }
    void spacingCommand_rewritesSpacesOnly()
    {
        QFETCH(QString, command);
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
        QTest::addColumn<QString>("command");
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
        QTest::addRow("CL") << u"CL"_s << u"ab cd"_s << pos << capNext << ch << acc << trace;
        QTest::addRow("LCL") << u"LCL"_s << u"ab cd"_s << pos << capNext << ch << acc << trace;
        QTest::addRow("CLF empty") << u"CLF"_s << QString() << 1 << qint16(0) << ch << acc << QString();
        QTest::addRow("CLF letter last") << u"CLF"_s << u"ab cd"_s << 6 << qint16(0) << QChar(u'd') << acc
                                         << u"Ab Cd"_s;
        QTest::addRow("CLF raised last") << u"CLF"_s << u"x y"_s << 4 << qint16(0) << QChar(u'Y') << acc
                                         << u"X Y"_s;
        QTest::addRow("CLF space last") << u"CLF"_s << u"ab "_s << 4 << qint16(1) << QChar(u' ') << acc << u"Ab "_s;
        QTest::addRow("CLF line feed last") << u"CLF"_s << u"ab\n"_s << 4 << qint16(1) << QChar(u'\n') << acc
                                            << u"Ab\n"_s;
        QTest::addRow("CLF tab last") << u"CLF"_s << u"ab\t"_s << 4 << qint16(0) << QChar(u'\t') << acc
                                      << u"Ab\t"_s;
        QTest::addRow("RS empty") << u"RS"_s << QString() << 1 << capNext << ch << QString() << trace;
        QTest::addRow("RS") << u"RS"_s << u"a b "_s << 5 << capNext << ch << u"ab"_s << trace;
        QTest::addRow("AD") << u"AD"_s << u"a b"_s << 4 << capNext << ch << u"a-b"_s << trace;
        QTest::addRow("ADd surrogate pair") << u"ADd"_s << u"a 𐐨"_s << 5 << capNext << ch << u"a.𐐨"_s << trace;
    }
    void command_leavesFormStateAndScratchBox()
    {
        QFETCH(QString, command);
        QFETCH(QString, before);
        state().Pos = -7;
        state().CapNext = 1;
        state().Ch.value = u'z';
        state().Acc = u"earlier"_s;
        m_fake->setText(u"Text3"_s, u"5 3"_s);
        m_fake->setPhraseText(before);
        m_fake->choose(command);
        QTEST(state().Pos, "pos");
        QTEST(state().CapNext, "capNext");
        QTEST(state().Ch.value, "ch");
        QTEST(state().Acc, "acc");
        QTEST(m_fake->boxText(u"Text3"_s), "scratch");
    }

    void counter_refreshedByRemoveSpacesOnly_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("captionBefore");
        QTest::addColumn<QString>("captionAfter");
        QTest::addRow("RS empty at start") << u"RS"_s << QString() << kCounterAtStart << u"Charaters  0"_s;
        QTest::addRow("RS words") << u"RS"_s << u"red blue green"_s << u"Charaters  14"_s << u"Charaters  12"_s;
        QTest::addRow("RS spaces only") << u"RS"_s << u"   "_s << u"Charaters  3"_s << u"Charaters  0"_s;
        QTest::addRow("RS nothing removed") << u"RS"_s << u"redfox"_s << u"Charaters  99"_s << u"Charaters  6"_s;
        QTest::addRow("RS surrogate pair counts 2") << u"RS"_s << u"a 𐐨"_s << kCounterAtStart << u"Charaters  3"_s;
        QTest::addRow("RS three digits") << u"RS"_s << QString(103, u'a') + u" b"_s << kCounterAtStart
                                         << u"Charaters  104"_s;
        for (const QString& command : {u"CL"_s, u"LCL"_s, u"CLF"_s, u"AD"_s, u"ADd"_s}) {
            QTest::addRow("%s keeps count", qPrintable(command))
                << command << u"red blue green"_s << u"Charaters  14"_s << u"Charaters  14"_s;
            QTest::addRow("%s keeps start caption", qPrintable(command))
                << command << QString() << kCounterAtStart << kCounterAtStart;
        }
    }
    void counter_refreshedByRemoveSpacesOnly()
    {
        QFETCH(QString, command);
        QFETCH(QString, before);
        QFETCH(QString, captionBefore);
        m_fake->setCaption(u"CH"_s, captionBefore);
        m_fake->setPhraseText(before);
        m_fake->choose(command);
        QTEST(m_fake->caption(u"CH"_s), "captionAfter");
    }

    void commandsInSequence_keepCountTrue()
    {
        m_fake->setPhraseText(u"red blue green"_s);
        m_fake->choose(u"RS"_s);
        QCOMPARE(m_fake->caption(u"CH"_s), u"Charaters  12"_s);
        m_fake->setPhraseText(u"red blue green"_s);
        for (const QString& command : {u"AD"_s, u"ADd"_s, u"CLF"_s, u"RS"_s, u"LCL"_s, u"CL"_s})
            m_fake->choose(command);
        QCOMPARE(m_fake->phraseText(), u"RED-BLUE-GREEN"_s);
        QCOMPARE(m_fake->caption(u"CH"_s), u"Charaters  14"_s);
        // One write each, two for "Capital Letters First", and the first RS above.
        QCOMPARE(m_fake->phraseWrites().size(), 1 + 7);
    }
};

QTEST_GUILESS_MAIN(EditTest)
#include "edit_test.moc"
