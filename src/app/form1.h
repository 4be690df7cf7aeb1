// SPDX-License-Identifier: MIT
// The main window object: owns the form state and runs every handler of the window inside one
// guard. It computes nothing itself.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

#include <string>

class Form1 final : public EventSink
{
public:
    // Registers itself as the platform's event sink for as long as it lives.
    explicit Form1(Platform& platform);
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The load event. Afterwards the caller shows the window unless the process ended.
    void load();

    // Runs the handler the window description gives `item`; an item without one runs nothing.
    void choose(Item item) override;
    void phraseChanged() override;
    bool closeRequested() override;

    FormState& state() { return m_state; }

private:
    template <typename Body>
    void guarded(Body body);
    void report(const std::u16string& prompt);

    Platform& m_platform;
    FormState m_state;
    bool m_closing = false; // the unload handler is running
};

// Load event: counts the word list.
void Form_Load(FormState& form, Platform& platform);
