// SPDX-License-Identifier: MIT
// Where every test of the real window starts (with the offscreen platform): the Qt window, the
// platform on it and the window object, started up on the Words.TxT beside the test and shown.
#pragma once

#include "app/form1.h"
#include "qt/qt_platform.h"
#include "qt/qt_window.h"

#include <QObject>
#include <QString>

#include <memory>

class QtFormTest : public QObject
{
    Q_OBJECT

protected:
    // The phrase box's text as the window object reads it, and a write of it from outside any
    // event of the window.
    QString phrase() const { return QString::fromStdU16String(m_platform->text(Box::Text1)); }
    void setPhrase(const QString& text) { m_platform->setText(Box::Text1, text.toStdU16String()); }

    std::unique_ptr<QtWindow> m_window;
    std::unique_ptr<QtPlatform> m_platform;
    std::unique_ptr<Form1> m_form;

protected Q_SLOTS:
    void init();
    void cleanup();
};
