// SPDX-License-Identifier: MIT
// The character counter on the menu bar.
#include "words/counter.h"

#include "platform/text.h"

void ShowCount(FormState&, Platform& platform)
{
    // "Charaters  " is the counter's own wording, two spaces included; lengths count 16-bit
    // characters, so a character outside the BMP counts as 2.
    const std::size_t length = platform.text(Box::Text1).size();
    platform.setCaption(Item::CH, u"Charaters  " + decimal(std::int64_t(length)));
}
