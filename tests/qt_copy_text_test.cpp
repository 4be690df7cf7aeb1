// SPDX-License-Identifier: MIT
// "Copy Text" on the real window, offscreen: the action's caption and enabled state over the
// real pause, what runs inside it, the clipboard it leaves, and the "InFo" box.
#include "app/form1.h"
#include "ui/qt_platform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using States = QStringList;

class QtCopyTextTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QtPlatform> m_platform;
    std::unique_ptr<Form1> m_form;
    States m_states; // the Copy Text action after each of its changes: "caption|enabled"

    QAction* action(const char* name) { return m_platform->action(QString::fromLatin1(name)); }
    QString state() const
    {
        const QAction* copy = m_platform->action(QStringLiteral("Ct1"));
        return copy->text() + (copy->isEnabled() ? QStringLiteral("|enabled") : QStringLiteral("|disabled"));
    }
    void setPhrase(const QString& text) { m_platform->setText(QStringLiteral("Text1"), text); }
    // Runs `step` once the pause is under way, from inside its event pumping.
    void duringPause(int afterMs, std::function<void()> step)
    {
        QTimer::singleShot(afterMs, m_platform->window(), std::move(step));
    }
    // Hands the next modal box to `inspect`, then dismisses it; gives up after five seconds so
    // that a box that never shows fails the test instead of hanging it.
    void whenBoxShows(std::function<void(QMessageBox*)> inspect, int triesLeft = 250)
    {
        QTimer::singleShot(20, m_platform->window(), [this, inspect, triesLeft] {
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
        m_platform = std::make_unique<QtPlatform>();
        m_form = std::make_unique<Form1>(*m_platform);
        m_form->load();
        QVERIFY(!m_platform->hasEnded());
        m_platform->showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_platform->window()));
        m_states.clear();
        connect(action("Ct1"), &QAction::changed, this, [this] { m_states.append(state()); });
    }
    void cleanup()
    {
        m_form.reset();
        m_platform.reset();
    }

    void copyText_confirmsForTheSecondThenRestores()
    {
        setPhrase(QStringLiteral("correct horse"));
        QGuiApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
        QStringList seen;
        duringPause(200, [&] { seen.append(state()); });
        duringPause(500, [&] { seen.append(state()); });
        QElapsedTimer clock;
        clock.start();
        action("Ct1")->trigger();
        // Single-precision readings of the time of day may lie up to 1/128 s apart.
        QVERIFY(clock.elapsed() >= 990);
        // Disabled first, caption changed, caption back, and enabled only after that.
        QCOMPARE(m_states, (States{QStringLiteral("Copy Text|disabled"), QStringLiteral("Text Copied|disabled"),
                                   QStringLiteral("Copy Text|disabled"), QStringLiteral("Copy Text|enabled")}));
        QCOMPARE(seen, (States{QStringLiteral("Text Copied|disabled"), QStringLiteral("Text Copied|disabled")}));
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
        action("Ct1")->trigger();
        QVERIFY(m_states.isEmpty());
        QCOMPARE(state(), QStringLiteral("Copy Text|enabled"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("from elsewhere"));
    }

    void wordsCommand_insidePause_reachesClipboard()
    {
        setPhrase(QStringLiteral("first"));
        QString caption;
        duringPause(200, [&] {
            action("W2")->trigger();
            caption = state();
        });
        action("Ct1")->trigger();
        const QString phrase = m_platform->text(QStringLiteral("Text1"));
        QCOMPARE(phrase.count(u' '), 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), phrase);
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
        duringPause(200, [&] {
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
            action("InF")->trigger();
        });
        action("Ct1")->trigger();
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
        duringPause(200, [&] { m_platform->window()->close(); });
        // The closing, a second long, lets timers run between its passes; a command chosen
        // meanwhile runs nothing.
        duringPause(600, [&] {
            servedWhileClosing = !m_platform->hasEnded();
            action("W2")->trigger();
        });
        action("Ct1")->trigger();
        QVERIFY(m_platform->hasEnded());
        QCOMPARE(m_platform->exitStatus(), 0);
        QCOMPARE(state(), QStringLiteral("Text Copied|disabled"));
        QVERIFY(servedWhileClosing);
        QCOMPARE(m_platform->text(QStringLiteral("Text1")), QStringLiteral("first"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first"));
    }
};

QTEST_MAIN(QtCopyTextTest)
#include "qt_copy_text_test.moc"
