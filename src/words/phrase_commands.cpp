// SPDX-License-Identifier: MIT
// The generation commands: the phrase is built in the phrase box itself, one word at a time,
// so every step reaches the clipboard through the box's change event.
#include "words/phrase_commands.h"

#include "words/counter.h"
#include "words/ordinal_draw.h"
#include "words/word_list.h"

void generatePhrase(FormState& form, Platform& platform, const QString& countText)
{
    const QString phraseBox = QStringLiteral("Text1");
    platform.setText(phraseBox, QString());
    platform.setText(QStringLiteral("Text2"), countText);
    // The bound is read back from the word-count box once, before the loop.
    const int n = platform.text(QStringLiteral("Text2")).toInt();
    for (form.LoopIndex = 1; *form.LoopIndex <= n; form.LoopIndex = *form.LoopIndex + 1) {
        PickIndex(form, platform);
        FetchWord(form, platform);
        platform.setText(phraseBox, platform.text(phraseBox) + form.Word + u' ');
        // The trace of the draw: the ordinal reached, then the ordinal drawn.
        platform.setText(QStringLiteral("Text3"), QString::number(form.Pos) + u' '
                                                       + QString::number(qint64(form.Pick.value_or(0.0))));
    }
    const QString phrase = platform.text(phraseBox);
    if (phrase.endsWith(u' '))
        platform.setText(phraseBox, phrase.chopped(1));
    ShowCount(form, platform);
}

// One line each, as a table: they differ only in the count text.
// clang-format off
void W1_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("01")); }
void W2_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("02")); }
void W3_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("03")); }
void W4_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("04")); }
void W5_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("05")); }
void W6_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("06")); }
void W7_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("07")); }
void W8_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("08")); }
void W9_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("09")); }
void W10_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, QStringLiteral("10")); }
// clang-format on
