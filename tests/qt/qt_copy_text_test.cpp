// SPDX-License-Identifier: MIT
// "Copy Text" on the real window, offscreen: the action's caption and enabled state over the
// real pause, what runs inside it, the clipboard it leaves, and the "InFo" box.
#include "qt_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using States = QStringList;

class QtCopyTextTest : public QtFormTest
{
    Q_OBJECT

private:
    States m_states; // the Copy Text action after each of its changes: "caption|enabled"

    QAction* action(Item item) { return &m_window->action(item); }
    QString state() const
    {
        const QAction* copy = &m_window->action(Item::Ct1);
        return copy->text() + (copy->isEnabled() ? QStringLiteral("|enabled") : QStringLiteral("|disabled"));
    }
    // Runs `step` at the next pass of the event loop: called before a command that pauses, at
    // the pause's first pass.
    void atNextPass(std::function<void()> step) { QTimer::singleShot(0, m_window.get(), std::move(step)); }
    // Hands the next modal box to `inspect`, then dismisses it; gives up after five seconds so
    // that a box that never shows fails the test instead of hanging it.
    void whenBoxShows(std::function<void(QMessageBox*)> inspect, int triesLeft = 250)
    {
        QTimer::singleShot(20, m_window.get(), [this, inspect, triesLeft] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                inspect(box);
                box->button(QMessageBox::Ok)->click();
            } else if (triesLeft > 0) {
                whenBoxShows(inspect, triesLeft - 1);
            }
        });
    }

private Q_SLOTS:
    void init()
    {
        QtFormTest::init();
        m_states.clear();
        connect(action(Item::Ct1), &QAction::changed, this, [this] { m_states.append(state()); });
    }

    void copyText_confirmsForTheSecondThenRestores()
    {
        setPhrase(QStringLiteral("correct horse"));
        QGuiApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
        // The action at every pass of the event loop while the pause lasts.
        States seen;
        QTimer everyPass;
        connect(&everyPass, &QTimer::timeout, this, [&] { seen.append(state()); });
        everyPass.start(0);
        QElapsedTimer clock;
        clock.start();
        action(Item::Ct1)->trigger();
        everyPass.stop();
        // Single-precision readings of the time of day may lie up to 1/128 s apart.
        QVERIFY(clock.elapsed() >= 990);
        // Disabled first, caption changed, caption back, and enabled only after that.
        QCOMPARE(m_states, (States{QStringLiteral("Copy Text|disabled"), QStringLiteral("Text Copied|disabled"),
                                   QStringLiteral("Copy Text|disabled"), QStringLiteral("Copy Text|enabled")}));
        QVERIFY(!seen.isEmpty());
        seen.removeDuplicates();
        QCOMPARE(seen, States{QStringLiteral("Text Copied|disabled")});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("correct horse"));
    }

    void clipboard_offersThePhraseAsPlainTextOnly()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
        // What the clipboard offers at each of its changes: the phrase comes in one change,
        // with no moment in between when a paste would find nothing.
        QStringList offered;
        QObject watch;
        connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &watch, [&offered] {
            const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
            offered.append(data ? data->formats().join(u',') + u'|' + data->text() : QStringLiteral("none"));
        });
        setPhrase(QStringLiteral("  spaced  "));
        QCOMPARE(offered, QStringList{QStringLiteral("text/plain|  spaced  ")});
        const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
        QVERIFY(data);
        QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});
        QCOMPARE(data->text(), QStringLiteral("  spaced  "));
    }

    void copyText_withEmptyBox_changesNothing()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
        action(Item::Ct1)->trigger();
        QVERIFY(m_states.isEmpty());
        QCOMPARE(state(), QStringLiteral("Copy Text|enabled"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("from elsewhere"));
    }

    void failedCommand_emptiesClipboardBeforeItsMessage()
    {
        setPhrase(QStringLiteral("first"));
        m_form->state().Total = 0; // as with an empty list: the command gives no phrase
        QString clipboardWhileShown = QStringLiteral("no box");
        whenBoxShows([&](QMessageBox*) { clipboardWhileShown = QGuiApplication::clipboard()->text(); });
        action(Item::W2)->trigger();
        QCOMPARE(clipboardWhileShown, QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }

    void wordsCommand_insidePause_reachesClipboard()
    {
        setPhrase(QStringLiteral("first"));
        QString caption;
        atNextPass([&] {
            action(Item::W2)->trigger();
            caption = state();
        });
        action(Item::Ct1)->trigger();
        const QString made = phrase();
        QCOMPARE(made.count(u' '), 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), made);
        QCOMPARE(caption, QStringLiteral("Text Copied|disabled"));
        QCOMPARE(state(), QStringLiteral("Copy Text|enabled"));
    }

    void info_insidePause_showsItsBoxAndHoldsThePause()
    {
        setPhrase(QStringLiteral("first"));
        QString caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        int buttons = 0;
        Qt::TextFormat format = Qt::AutoText;
        atNextPass([&] {
            // Held past the end of the second: the pause ends only after the box is gone.
            whenBoxShows([&](QMessageBox* box) {
                QTest::qWait(1000);
                caption = state();
                icon = box->icon();
                title = box->windowTitle();
                text = box->text();
                buttons = int(box->buttons().size());
                format = box->textFormat();
            });
            action(Item::InF)->trigger();
        });
        action(Item::Ct1)->trigger();
        QCOMPARE(caption, QStringLiteral("Text Copied|disabled"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(title, QStringLiteral("Lexitrove"));
        QCOMPARE(buttons, 1);
        QCOMPARE(format, Qt::PlainText);
        QVERIFY(text.endsWith(QStringLiteral("\n \n ")));
        QVERIFY(!text.chopped(4).contains(u'\n'));
        QVERIFY(!text.contains(u'\r'));
        QCOMPARE(state(), QStringLiteral("Copy Text|enabled"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first"));
    }

    // Last: the end of the process tells every event loop of this test program to quit.
    void closingInsidePause_endsWithoutRestoringCaption()
    {
        setPhrase(QStringLiteral("first"));
        bool servedWhileClosing = false;
        atNextPass([&] {
            // The closing lets the event loop run between its passes; a command chosen meanwhile
            // runs nothing.
            atNextPass([&] {
                servedWhileClosing = !m_platform->hasEnded();
                action(Item::W2)->trigger();
            });
            m_window.get()->close();
        });
        action(Item::Ct1)->trigger();
        QVERIFY(m_platform->hasEnded());
        QCOMPARE(m_platform->exitStatus(), 0);
        QCOMPARE(state(), QStringLiteral("Text Copied|disabled"));
        QVERIFY(servedWhileClosing);
        QCOMPARE(phrase(), QStringLiteral("first"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first"));
    }
};

QTEST_MAIN(QtCopyTextTest)
#include "qt_copy_text_test.moc"
