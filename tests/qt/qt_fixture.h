// SPDX-License-Identifier: MIT
// Where every test of the real window starts (with the offscreen platform): the Qt window, the
// platform on it and the window object, started up on the Words.TxT beside the test and shown.
#pragma once

#include "app/form1.h"
#include "platform/qt_platform.h"
#include "ui/qt_window.h"

#include <QObject>

#include <memory>

class QtFormTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<QtWindow> m_window;
    std::unique_ptr<QtPlatform> m_platform;
    std::unique_ptr<Form1> m_form;

protected Q_SLOTS:
    void init();
    void cleanup();
};
