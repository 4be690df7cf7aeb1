// SPDX-License-Identifier: MIT
// Mirroring: the clipboard follows every change of the phrase box.
#include "clip/clipboard_mirror.h"

void Text1_Change(FormState&, Platform& platform)
{
    // No condition, not even for an empty box: the clipboard must never keep an older phrase
    // than the one the user reads. The old contents are given up, whatever program put them
    // there; the phrase takes their place in one step, so a paste never finds the clipboard
    // empty in between.
    platform.replaceClipboard(platform.text(Box::Text1));
}
