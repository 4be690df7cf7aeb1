// SPDX-License-Identifier: MIT
// Mirroring: the clipboard follows every change of the phrase box.
#include "clip/clipboard_mirror.h"

void Text1_Change(FormState&, Platform& platform)
{
    // No condition, not even for an empty box: the clipboard must never keep an older phrase
    // than the one the user reads. Clearing first gives up what another program put there.
    platform.clearClipboard();
    platform.setClipboardText(platform.text(QStringLiteral("Text1")));
}
