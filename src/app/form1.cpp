// SPDX-License-Identifier: MIT
// Event binding of the main window, and the guard around every handler.
#include "app/form1.h"

#include "app/closing.h"
#include "clip/clipboard_mirror.h"
#include "clip/copy_text.h"
#include "clip/info_message.h"
#include "edit/case_commands.h"
#include "edit/spacing_commands.h"
#include "words/phrase_commands.h"
#include "words/word_list.h"

#include <QScopedValueRollback>

#include <exception>

namespace {

using Handler = void (*)(FormState&, Platform&);

struct Binding
{
    const char16_t* source;
    EventKind kind;
    Handler handler;
};

// Every handler the window has; any other event is left unhandled. The unload event carries
// the cancel flag and is routed separately.
// clang-format off
constexpr Binding kBindings[] = {
    {u"Form1", EventKind::Load, Form_Load},
    {u"Text1", EventKind::Change, Text1_Change},
    {u"W1", EventKind::Click, W1_Click},
    {u"W2", EventKind::Click, W2_Click},
    {u"W3", EventKind::Click, W3_Click},
    {u"W4", EventKind::Click, W4_Click},
    {u"W5", EventKind::Click, W5_Click},
    {u"W6", EventKind::Click, W6_Click},
    {u"W7", EventKind::Click, W7_Click},
    {u"W8", EventKind::Click, W8_Click},
    {u"W9", EventKind::Click, W9_Click},
    {u"W10", EventKind::Click, W10_Click},
    {u"CL", EventKind::Click, CL_Click},
    {u"LCL", EventKind::Click, LCL_Click},
    {u"CLF", EventKind::Click, CLF_Click},
    {u"RS", EventKind::Click, RS_Click},
    {u"AD", EventKind::Click, AD_Click},
    {u"ADd", EventKind::Click, ADd_Click},
    {u"Ct1", EventKind::Click, Ct1_Click},
    {u"InF", EventKind::Click, InF_Click},
};
// clang-format on

Handler findHandler(const QString& source, EventKind kind)
{
    for (const Binding& binding : kBindings) {
        if (binding.kind == kind && source == QStringView(binding.source))
            return binding.handler;
    }
    return nullptr;
}

} // namespace

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
    raise(QStringLiteral("Form1"), EventKind::Load);
}

void Form1::raise(const QString& source, EventKind kind, qint16* cancel)
{
    // Once the end was asked for, nothing more runs, whatever is still queued. Nor while the
    // closing sequence plays: the window system is served between its passes, and a command or
    // a second close request that comes through meanwhile must neither run nor start it again.
    if (m_platform.hasEnded() || m_closing)
        return;
    try {
        if (kind == EventKind::Unload && source == u"Form1") {
            const QScopedValueRollback<bool> closing(m_closing, true);
            qint16 unused = 0;
            Form_Unload(m_state, m_platform, cancel ? *cancel : unused);
            return;
        }
        if (Handler handler = findHandler(source, kind))
            handler(m_state, m_platform);
    } catch (const PlatformError& error) {
        // No trap caught it: the handler ends here, the user is told, and the program goes on.
        try {
            m_platform.messageBox(QStringLiteral("Error %1: %2").arg(error.number).arg(error.description),
                                  16, QString::fromUtf16(u"Lexitrove"));
        } catch (const ProcessEnd&) {
        }
    } catch (const std::exception& error) {
        try {
            m_platform.messageBox(QStringLiteral("Error: %1").arg(QString::fromLocal8Bit(error.what())), 16,
                                  QString::fromUtf16(u"Lexitrove"));
        } catch (const ProcessEnd&) {
        }
    } catch (const ProcessEnd&) {
        // The platform is already on its way out; this only unwinds the handler.
    }
}
