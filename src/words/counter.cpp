// SPDX-License-Identifier: MIT
// The character counter on the menu bar.
#include "words/counter.h"

void ShowCount(FormState&, Platform& platform)
{
    // "Charaters  " is the counter's own wording, two spaces included; lengths count 16-bit
    // characters, so a character outside the BMP counts as 2.
    const qsizetype length = platform.text(Box::Text1).size();
    platform.setCaption(Item::CH, QStringLiteral("Charaters  ") + QString::number(length));
}
