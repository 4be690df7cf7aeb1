// SPDX-License-Identifier: MIT
// The real window, built offscreen: what a user sees right after start-up, and a phrase made
// through its menu action.
#include "qt_fixture.h"
#include "ui/window_description.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

using namespace Qt::StringLiterals;

class QtWindowTest : public QtFormTest
{
    Q_OBJECT

private:
    QStringList captionsOf(const QList<QAction*>& actions)
    {
        QStringList captions;
        for (const QAction* action : actions)
            captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        return captions;
    }
    QLineEdit* box(Box which) { return &m_window->box(which); }

private Q_SLOTS:
    void menuBar_listsEveryCommandInOrder()
    {
        QMenuBar* bar = m_window.get()->menuBar();
        QCOMPARE(captionsOf(bar->actions()),
                 (QStringList{QStringLiteral("Words"), QStringLiteral("Change Tex"), QStringLiteral("Copy Text"),
                              QStringLiteral("Characters 0")}));
        QMenu* words = bar->actions().at(0)->menu();
        QVERIFY(words);
        QStringList expectedWords{QStringLiteral("-")};
        for (int n = 1; n <= 10; ++n)
            expectedWords.append(QStringLiteral("Words (%1)").arg(n, 2, 10, QLatin1Char('0')));
        expectedWords << QStringLiteral("InFo") << QStringLiteral("-");
        QCOMPARE(captionsOf(words->actions()), expectedWords);
        QMenu* change = bar->actions().at(1)->menu();
        QVERIFY(change);
        QCOMPARE(captionsOf(change->actions()),
                 (QStringList{QStringLiteral("-"), QStringLiteral("Capital Letters"), QStringLiteral("Lower Case Letters"),
                              QStringLiteral("Capital Letters First"), QStringLiteral("Remove Spaces"),
                              QStringLiteral("Add -"), QStringLiteral("Add ."), QStringLiteral("-")}));
        QVERIFY(!bar->actions().at(2)->menu());
        QVERIFY(!bar->actions().at(3)->menu());
        for (QAction* action : words->actions() + change->actions() + bar->actions()) {
            QVERIFY(action->isEnabled());
            QVERIFY(!action->isCheckable());
            QVERIFY(action->shortcut().isEmpty());
        }
    }

    void phraseBox_isVisibleDisabledAndMonospaced()
    {
        QLineEdit* text1 = box(Box::Text1);
        QVERIFY(text1->isVisibleTo(m_window.get()));
        QVERIFY(!text1->isEnabled());
        QVERIFY(text1->text().isEmpty());
        QCOMPARE(text1->toolTip(), QStringLiteral(" Clik To Save Clipboard "));
        const double dpi = m_window.get()->logicalDpiX();
        QCOMPARE(text1->geometry(), QRect(0, WindowDescription::toPixels(240, dpi), WindowDescription::toPixels(13455, dpi),
                                          WindowDescription::toPixels(405, dpi)));
        QCOMPARE(text1->font().pointSizeF(), 9.75);
        QCOMPARE(text1->font().weight(), QFont::Bold);
        const QString family = QFontInfo(text1->font()).family();
        QVERIFY2(family == u"Courier New" || family == u"Liberation Mono", qPrintable(family));
    }

    void hiddenControls_areHiddenWithTheirStartingTexts()
    {
        QCOMPARE(box(Box::Text2)->text(), QStringLiteral("01"));
        QCOMPARE(box(Box::Text2)->font().pointSizeF(), 20.25);
        QCOMPARE(box(Box::Text3)->text(), QString());
        auto* combo = m_window->findChild<QComboBox*>(QStringLiteral("Combo1"));
        QVERIFY(combo && combo->isEditable());
        QCOMPARE(combo->currentText(), QStringLiteral("01"));
        QCOMPARE(combo->count(), 0);
        for (QWidget* control : std::initializer_list<QWidget*>{box(Box::Text2), box(Box::Text3), combo}) {
            QVERIFY(!control->isVisibleTo(m_window.get()));
            QVERIFY(control->y() >= m_window.get()->centralWidget()->height());
        }
        // Assistive technology sees the phrase box and not the hidden ones, nor their texts.
        m_platform->setText(Box::Text3, u"scratch phrase");
        QStringList seen;
        QList<QAccessibleInterface*> open{QAccessible::queryAccessibleInterface(m_window.get())};
        while (!open.isEmpty()) {
            QAccessibleInterface* node = open.takeLast();
            seen << node->text(QAccessible::Name) + u'=' + node->text(QAccessible::Value);
            for (int i = 0; i < node->childCount(); ++i)
                open << node->child(i);
        }
        QVERIFY2(seen.contains(QStringLiteral("Text1=")), qPrintable(seen.join(u", ")));
        for (const QString& hidden : {u"Text2"_s, u"Text3"_s, u"Combo1"_s, u"scratch phrase"_s})
            QVERIFY2(!seen.join(u", ").contains(hidden), qPrintable(seen.join(u", ")));
    }

    void wordsCommand_throughItsAction_fillsPhraseBoxAndCounter()
    {
        QFile list(QCoreApplication::applicationDirPath() + QStringLiteral("/Words.TxT"));
        QVERIFY(list.open(QIODevice::ReadOnly));
        const QStringList words = QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(m_form->state().Total, int(words.size()));

        // The box is written empty and then once a word; the desktop is offered the finished phrase only.
        QStringList offered;
        QObject watch;
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &watch,
                [&offered] { offered.append(QGuiApplication::clipboard()->text()); });
        m_window->action(Item::W3).trigger();
        const QString shown = box(Box::Text1)->text();
        QCOMPARE(offered, QStringList{shown});
        const QStringList parts = shown.split(u' ');
        QCOMPARE(parts.size(), 3);
        for (const QString& word : parts)
            QVERIFY2(words.contains(word), qPrintable(word));
        QCOMPARE(phrase(), shown);
        QCOMPARE(m_window->action(Item::CH).text(), QStringLiteral("Charaters  ") + QString::number(shown.size()));
        QCOMPARE(box(Box::Text2)->text(), QStringLiteral("03"));
    }

    void counterItem_runsNothing()
    {
        m_window->action(Item::CH).trigger();
        QCOMPARE(box(Box::Text1)->text(), QString());
        QCOMPARE(m_window->action(Item::CH).text(), QStringLiteral("Characters 0"));
    }
};

QTEST_MAIN(QtWindowTest)
#include "qt_window_test.moc"
