// SPDX-License-Identifier: MIT
// "Capital Letters", "Lower Case Letters" and "Capital Letters First": each puts exactly one
// 16-bit character in the place of each one, so the counter on the menu bar stays true.
#include "edit/case_commands.h"

#include "edit/simple_case.h"

namespace {

// The upper case of one 16-bit character on its own, where it stays one. Half of a surrogate
// pair is not a letter by itself and has no mapping, so it comes back as it was.
char16_t raised(char16_t ch)
{
    const char32_t upper = simpleUpperCase(char32_t(ch));
    return upper < 0x10000 ? char16_t(upper) : ch;
}

} // namespace

void CL_Click(FormState&, Platform& platform)
{
    // Written back also when nothing changed, so the clipboard gets the text again.
    platform.setText(Box::Text1, simpleUpperCase(platform.text(Box::Text1)));
}

void LCL_Click(FormState&, Platform& platform)
{
    platform.setText(Box::Text1, simpleLowerCase(platform.text(Box::Text1)));
}

void CLF_Click(FormState& form, Platform& platform)
{
    platform.setText(Box::Text3, u"");
    form.CapNext = 0;

    // Nothing can write the phrase box while this runs (no events are pumped), so it is read
    // once, and the result is built in a buffer of its final length.
    const std::u16string& source = platform.text(Box::Text1);
    const std::size_t n = source.size();
    std::u16string result(n, u'\0');
    for (std::size_t i = 0; i < n; ++i) {
        char16_t ch = source[i];
        if (i == 0)
            ch = raised(ch);
        if (form.CapNext == 1) {
            ch = raised(ch);
            form.CapNext = 0;
        }
        result[i] = ch;
        // Only these two break a word: a tab, a carriage return or a no-break space does not.
        if (ch == u' ' || ch == u'\n')
            form.CapNext = 1;
    }
    // `Ch` keeps the last character handled, or what it held before when there was none.
    if (n > 0)
        form.Ch.value = result[n - 1];
    form.Pos = static_cast<std::int32_t>(n + 1);

    // The scratch box is left holding the result. The phrase box is emptied first, so its
    // change handler runs twice: once with the empty text and once with the result.
    platform.setText(Box::Text3, result);
    platform.setText(Box::Text1, u"");
    platform.setText(Box::Text1, platform.text(Box::Text3));
}
