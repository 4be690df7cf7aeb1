// SPDX-License-Identifier: MIT
// "Copy Text": puts the phrase box back on the clipboard and shows "Text Copied" for a second,
// while the window goes on handling other commands.
#include "clip/copy_text.h"

#include "clip/clipboard_mirror.h"

namespace {

// Polls the clock and pumps events until one second has passed since TStart. The clock falls
// back to 0 at midnight; a reading below TStart starts the second over, since TStart + 1 would
// otherwise never be reached.
void confirmationPause(FormState& form, Platform& platform)
{
    for (;;) {
        form.TStart = platform.timeOfDay();
        for (;;) {
            // Single precision on purpose: the end is compared as the clock reports it.
            const float end = form.TStart + 1.0f;
            if (end <= platform.timeOfDay())
                return;
            platform.pumpEvents();
            if (platform.timeOfDay() < form.TStart)
                break;
        }
    }
}

} // namespace

void Ct1_Click(FormState& form, Platform& platform)
{
    // Only the empty text counts as empty: a phrase of spaces is copied like any other.
    if (platform.text(Box::Text1).empty())
        return;
    // Disabled before anything else, so that no second click can start a nested pause.
    platform.setEnabled(Item::Ct1, false);
    Text1_Change(form, platform);
    platform.setCaption(Item::Ct1, u"Text Copied");
    platform.pumpEvents();
    // Closing the window in here ends the process: ProcessEnd leaves through this handler, and
    // the caption below is never restored.
    confirmationPause(form, platform);
    // The caption comes back before the command can be chosen again.
    platform.setCaption(Item::Ct1, u"Copy Text");
    platform.setEnabled(Item::Ct1, true);
}
