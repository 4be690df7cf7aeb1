// SPDX-License-Identifier: MIT
// The window object's events, each through the one guard that every handler runs in.
#include "app/form1.h"

#include "app/closing.h"
#include "clip/clipboard_mirror.h"
#include "platform/text.h"
#include "ui/window_description.h"
#include "words/word_list.h"

#include <exception>

void Form_Load(FormState& form, Platform& platform)
{
    CountWords(form, platform);
}

Form1::Form1(Platform& platform)
    : m_platform(platform)
{
    m_platform.setEventSink(this);
}

Form1::~Form1()
{
    m_platform.setEventSink(nullptr);
}

void Form1::load()
{
    guarded([this] { Form_Load(m_state, m_platform); });
}

void Form1::choose(Item item)
{
    if (const Handler handler = WindowDescription::menuRow(item).handler)
        guarded([this, handler] { handler(m_state, m_platform); });
}

void Form1::phraseChanged()
{
    guarded([this] { Text1_Change(m_state, m_platform); });
}

bool Form1::closeRequested()
{
    std::int16_t cancel = 0;
    guarded([this, &cancel] {
        m_closing = true;
        Form_Unload(m_state, m_platform, cancel);
    });
    // Form_Unload never returns normally, but should it, the window answers again.
    m_closing = false;
    return cancel == 0;
}

template <typename Body>
void Form1::guarded(Body body)
{
    // Once the end was asked for, nothing more runs, whatever is still queued. Nor while the
    // closing sequence plays: the window system is served between its passes, and a command or
    // a second close request that comes through meanwhile must neither run nor start it again.
    if (m_platform.hasEnded() || m_closing)
        return;
    try {
        body();
    } catch (const PlatformError& error) {
        // No trap caught it: the handler ends here, the user is told, and the program goes on.
        report(u"Error " + decimal(error.number) + u": " + error.description);
    } catch (const std::exception& error) {
        report(u"Error: " + fromSystemUtf8(error.what()));
    } catch (const ProcessEnd&) {
        // The platform is already on its way out; this only unwinds the handler.
    }
}

void Form1::report(const std::u16string& prompt)
{
    try {
        m_platform.messageBox(prompt, MessageIcon::Critical, u"Lexitrove");
    } catch (const ProcessEnd&) {
    }
}
