// SPDX-License-Identifier: MIT
// "Remove Spaces", "Add -" and "Add .": one pass over the phrase that drops or replaces its
// spaces, rebuilt in `Acc` and written back to the phrase box once.
#include "edit/spacing_commands.h"

#include "words/counter.h"

#include <algorithm>
#include <optional>
#include <string>

namespace {

// A space is U+0020 alone: tabs, line breaks and no-break spaces are kept as they are.
// Without a replacement the spaces are dropped.
void rewriteSpaces(FormState& form, Platform& platform, std::optional<char16_t> replacement)
{
    // Nothing can write the phrase box while this runs (no events are pumped), so it is read
    // once, and `Acc` starts as a copy in which the spaces are rewritten in one pass.
    const std::u16string& source = platform.text(Box::Text1);
    const std::size_t n = source.size();
    form.Acc = source;
    if (replacement)
        std::replace(form.Acc.begin(), form.Acc.end(), u' ', *replacement);
    else
        std::erase(form.Acc, u' ');
    form.Pos = static_cast<std::int32_t>(n + 1);
    // Written also when nothing changed, so the clipboard gets the text again.
    platform.setText(Box::Text1, form.Acc);
}

} // namespace

void RS_Click(FormState& form, Platform& platform)
{
    rewriteSpaces(form, platform, std::nullopt);
    // The only command of the three that changes the length.
    ShowCount(form, platform);
}

void AD_Click(FormState& form, Platform& platform)
{
    rewriteSpaces(form, platform, u'-');
}

void ADd_Click(FormState& form, Platform& platform)
{
    rewriteSpaces(form, platform, u'.');
}
