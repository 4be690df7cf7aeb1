// SPDX-License-Identifier: MIT
// The main window object: owns the form state and routes each event of the window to its
// handler. It computes nothing itself.
#pragma once

#include "app/form_state.h"
#include "ui/platform.h"

class Form1 final : public EventSink
{
public:
    explicit Form1(Platform& platform);
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Raises the load event. Afterwards the caller shows the window unless the process ended.
    void load();

    void raise(const QString& source, EventKind kind, qint16* cancel = nullptr) override;

    FormState& state() { return m_state; }

private:
    Platform& m_platform;
    FormState m_state;
    bool m_closing = false; // the unload handler is running
};

// Load event: counts the word list.
void Form_Load(FormState& form, Platform& platform);
