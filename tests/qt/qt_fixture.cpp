// SPDX-License-Identifier: MIT
// The real window started up as the program starts it, short of the event loop the test runs.
#include "qt_fixture.h"

#include <QTest>

void QtFormTest::init()
{
    m_window = std::make_unique<QtWindow>();
    m_platform = std::make_unique<QtPlatform>(*m_window);
    m_form = std::make_unique<Form1>(*m_platform);
    m_form->load();
    QVERIFY(!m_platform->hasEnded());
    m_platform->showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void QtFormTest::cleanup()
{
    m_form.reset();
    m_platform.reset();
    m_window.reset();
}
