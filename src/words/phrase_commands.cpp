// SPDX-License-Identifier: MIT
// The generation commands: the phrase is built in the phrase box itself, one word at a time,
// so every step reaches the clipboard through the box's change event.
#include "words/phrase_commands.h"

#include "words/counter.h"
#include "words/ordinal_draw.h"
#include "words/word_list.h"

#include "platform/text.h"

namespace {

// What went wrong and what to do about it, in the user's words.
std::u16string faultPrompt(const DrawFault& fault)
{
    const std::u16string noPhrase = u", so no phrase was made.\r\n";
    switch (fault.kind) {
    case DrawFault::None: // nothing was ever counted
    case DrawFault::EmptyList:
        return u"Words.TxT holds no words" + noPhrase
            + u"Put one word on each line of Words.TxT, then start Lexitrove again.";
    case DrawFault::UnreadableList:
        return u"Words.TxT cannot be read (" + fault.reason + u")" + noPhrase
            + u"Make Words.TxT a file you may read, then start Lexitrove again.";
    case DrawFault::OverlongList:
        return u"Words.TxT holds more than 2,147,483,647 words, more than Lexitrove can count" + noPhrase
            + u"Use a shorter list, then start Lexitrove again.";
    case DrawFault::ShortenedList:
        return u"Words.TxT got shorter since Lexitrove started" + noPhrase
            + u"Start Lexitrove again to use Words.TxT as it is now.";
    case DrawFault::RandomSource:
        return u"The system gave no random numbers (" + fault.reason + u")" + noPhrase
            + u"Try again; Lexitrove makes no phrase without them.";
    case DrawFault::Untypeable: {
        const std::u16string line = decimal(fault.line);
        return u"Line " + line + u" of Words.TxT holds " + fault.reason + u", which cannot be typed" + noPhrase
            + u"Correct or delete line " + line + u" of Words.TxT, then start Lexitrove again.";
    }
    case DrawFault::MissingList: // endForMissingList has its own message
    case DrawFault::Stopped:     // no message at all
        break;
    }
    return {};
}

// The command stops at a word it cannot draw truly. The box, and through it the clipboard, is
// emptied before the message waits for the user, so nothing of the words drawn so far can be
// pasted as if it were a phrase; so is the scratch box, which may hold the phrase before
// (after "Capital Letters First") or the place of the last word drawn.
void giveNoPhrase(FormState& form, Platform& platform)
{
    platform.setText(Box::Text1, u"");
    platform.setText(Box::Text3, u"");
    ShowCount(form, platform);
    if (form.Fault.kind == DrawFault::MissingList)
        return endForMissingList(platform);
    // The user asked for the window to close, or the system for the program to end: that
    // comes next, and needs no message.
    if (form.Fault.kind == DrawFault::Stopped)
        return;
    platform.messageBox(faultPrompt(form.Fault), MessageIcon::Exclamation, u"Quorbel_Words");
}

// The word count the word-count box holds: its leading digits as a number, 0 without any.
int countIn(std::u16string_view text)
{
    int count = 0;
    for (std::size_t i = 0; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && count < 100; ++i)
        count = count * 10 + (text[i] - u'0');
    return count;
}

} // namespace

void generatePhrase(FormState& form, Platform& platform, const std::u16string& countText)
{
    platform.setText(Box::Text1, u"");
    platform.setText(Box::Text2, countText);
    // The bound is read back from the word-count box once, before the loop.
    const int n = countIn(platform.text(Box::Text2));
    for (form.LoopIndex = 1; *form.LoopIndex <= n; form.LoopIndex = *form.LoopIndex + 1) {
        // Every word is a true draw from the whole list, or there is no phrase: an empty count
        // (Fault says why since start-up), a failed draw, a fetch that fell short of the drawn
        // ordinal, or a drawn item that cannot be typed ends the command.
        if (form.Total == 0)
            return giveNoPhrase(form, platform);
        PickIndex(form, platform);
        if (!form.Pick)
            return giveNoPhrase(form, platform);
        FetchWord(form, platform);
        if (double(form.Pos) != *form.Pick || form.Fault.kind != DrawFault::None)
            return giveNoPhrase(form, platform);
        platform.setText(Box::Text1, platform.text(Box::Text1) + form.Word + u' ');
        // The trace of the draw: the ordinal reached, then the ordinal drawn.
        platform.setText(Box::Text3, decimal(form.Pos) + u' ' + decimal(std::int64_t(*form.Pick)));
    }
    const std::u16string phrase = platform.text(Box::Text1);
    if (!phrase.empty() && phrase.back() == u' ')
        platform.setText(Box::Text1, phrase.substr(0, phrase.size() - 1));
    ShowCount(form, platform);
}

// One line each, as a table: they differ only in the count text.
// clang-format off
void W1_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"01"); }
void W2_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"02"); }
void W3_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"03"); }
void W4_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"04"); }
void W5_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"05"); }
void W6_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"06"); }
void W7_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"07"); }
void W8_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"08"); }
void W9_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"09"); }
void W10_Click(FormState& form, Platform& platform) { generatePhrase(form, platform, u"10"); }
// clang-format on
