// SPDX-License-Identifier: MIT
// Closing the real window, offscreen: the platform carries out each move of the sequence,
// refuses to move a maximised window, takes no input meanwhile, and the process ends either way.
#include "qt_fixture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QWindow>
#include <QtTest>

class QtClosingTest : public QtFormTest
{
    Q_OBJECT

private:
    QMainWindow* window() const { return m_window.get(); }
    double twipsPerPixel() const { return 1440.0 / window()->logicalDpiX(); }

private Q_SLOTS:
    void close_slidesPastTheScreenWidthAndEnds()
    {
        window()->move(100, 100);
        const QRect before = window()->frameGeometry();
        QVERIFY(window()->close());
        QVERIFY(m_platform->hasEnded());
        QCOMPARE(m_platform->exitStatus(), 0);
        const QRect after = window()->frameGeometry();
        QVERIFY(after.top() * twipsPerPixel() > m_platform->screenWidth());
        // Every pass moved the left edge as far as the top one.
        QCOMPARE(after.left() - before.left(), after.top() - before.top());
        QVERIFY(after.width() < before.width());
    }

    void whileClosing_menusStayShutAndASecondRequestChangesNothing()
    {
        window()->move(100, 100);
        QMenuBar* bar = window()->menuBar();
        const QPoint words = bar->actionGeometry(&m_window->action(Item::W)).center();
        // A menu that is open when the request comes.
        QTest::mouseClick(bar, Qt::LeftButton, {}, words);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QStringList seen;
        QTimer::singleShot(100, window(), [&] {
            seen.append(QApplication::activePopupWidget() ? QStringLiteral("menu open") : QStringLiteral("closing"));
            QTest::mouseClick(bar, Qt::LeftButton, {}, words);
            if (QApplication::activePopupWidget())
                seen.append(QStringLiteral("menu opened by a click"));
            // A second request from the desktop, as the window system delivers it.
            QCloseEvent again;
            QCoreApplication::sendEvent(window()->windowHandle(), &again);
            if (!window()->isVisible() || !window()->windowHandle()->handle())
                seen.append(QStringLiteral("taken down by the second request"));
        });
        QVERIFY(window()->close());
        QVERIFY(m_platform->hasEnded());
        QCOMPARE(seen, QStringList{QStringLiteral("closing")});
        // The one sequence ran to its end.
        QVERIFY(window()->frameGeometry().top() * twipsPerPixel() > m_platform->screenWidth());
    }

    void maximised_refusesMovesAndStillEnds()
    {
        window()->showMaximized();
        QTRY_VERIFY(window()->isMaximized());
        const QRect before = window()->frameGeometry();
        QVERIFY_THROWS_EXCEPTION(PlatformError, m_platform->setGeometry(Geometry::Top, 3000.0f));
        QVERIFY(window()->close());
        QVERIFY(m_platform->hasEnded());
        QCOMPARE(window()->frameGeometry(), before);
    }

    void geometry_readsBackWhatWasWritten_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("pixels");
        QTest::addRow("Top") << int(Geometry::Top) << 120;
        QTest::addRow("Left") << int(Geometry::Left) << 75;
        QTest::addRow("Width") << int(Geometry::Width) << 640;
        QTest::addRow("Height") << int(Geometry::Height) << 150;
    }
    void geometry_readsBackWhatWasWritten()
    {
        QFETCH(int, which);
        QFETCH(int, pixels);
        const float twips = float(pixels * twipsPerPixel());
        m_platform->setGeometry(Geometry(which), twips);
        QCOMPARE(m_platform->geometry(Geometry(which)), twips);
    }

    void geometry_outOfRange_isAnOverflowError()
    {
        try {
            m_platform->setGeometry(Geometry::Top, 1.0e12f);
            QFAIL("the write was accepted");
        } catch (const PlatformError& error) {
            QCOMPARE(error.number, int(ErrorNumber::Overflow));
        }
    }
};

QTEST_MAIN(QtClosingTest)
#include "qt_closing_test.moc"
