// SPDX-License-Identifier: MIT
// Where every logic test starts: a fresh in-memory desktop and the window object on it, nothing
// loaded yet. A test class derives from FormTest; init() and cleanup() run around each test.
#pragma once

#include "app/form1.h"
#include "fake_platform.h"

#include <QObject>

#include <memory>

class FormTest : public QObject
{
    Q_OBJECT

protected:
    FormState& state() { return m_form->state(); }

    std::unique_ptr<FakePlatform> m_fake;
    std::unique_ptr<Form1> m_form;

protected Q_SLOTS:
    void init();
    void cleanup();
};
