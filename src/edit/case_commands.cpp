// SPDX-License-Identifier: MIT
// "Capital Letters", "Lower Case Letters" and "Capital Letters First": each puts exactly one
// 16-bit character in the place of each one, so the counter on the menu bar stays true.
#include "edit/case_commands.h"

namespace {

// The upper case of one 16-bit character on its own, as the platform maps a one-character
// text; kept to one character the way `Ch` keeps what is stored in it. Half of a surrogate
// pair is not a letter by itself and comes back as it was.
QChar raised(Platform& platform, QChar ch)
{
    FixedChar one;
    one = platform.upperCase(QString(ch));
    return one.value;
}

} // namespace

void CL_Click(FormState&, Platform& platform)
{
    const QString phraseBox = QStringLiteral("Text1");
    // Written back also when nothing changed, so the clipboard gets the text again.
    platform.setText(phraseBox, platform.upperCase(platform.text(phraseBox)));
}

void LCL_Click(FormState&, Platform& platform)
{
    const QString phraseBox = QStringLiteral("Text1");
    platform.setText(phraseBox, platform.lowerCase(platform.text(phraseBox)));
}

void CLF_Click(FormState& form, Platform& platform)
{
    const QString phraseBox = QStringLiteral("Text1");
    const QString scratchBox = QStringLiteral("Text3");
    platform.setText(scratchBox, QString());
    form.CapNext = 0;

    // Nothing can write the phrase box while this runs (no events are pumped), so one reading
    // serves every position, and the result is built in a buffer of the final length instead
    // of growing the scratch box one character at a time: the work stays linear.
    const QString source = platform.text(phraseBox);
    const qsizetype n = source.size();
    QString result(n, Qt::Uninitialized);
    QChar* out = result.data();
    for (qsizetype i = 0; i < n; ++i) {
        QChar ch = source.at(i);
        if (i == 0)
            ch = raised(platform, ch);
        if (form.CapNext == 1) {
            ch = raised(platform, ch);
            form.CapNext = 0;
        }
        out[i] = ch;
        // Only these two break a word: a tab, a carriage return or a no-break space does not.
        if (ch == u' ' || ch == u'\n')
            form.CapNext = 1;
    }
    // `Ch` keeps the last character handled, or what it held before when there was none.
    if (n > 0)
        form.Ch.value = out[n - 1];
    form.Pos = static_cast<qint32>(n + 1);

    // The scratch box is left holding the result. The phrase box is emptied first, so its
    // change handler runs twice: once with the empty text and once with the result.
    platform.setText(scratchBox, result);
    platform.setText(phraseBox, QString());
    platform.setText(phraseBox, platform.text(scratchBox));
}
