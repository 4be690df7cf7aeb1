// SPDX-License-Identifier: MIT
// "InFo": one line about the program, under its name.
#include "clip/info_message.h"

void InF_Click(FormState&, Platform& platform)
{
    const std::u16string notice = u"Lexitrove builds random pass phrases from the words of Words.TxT beside the "
                                  u"program (as shipped, the EFF large word list) and puts them on the clipboard.";
    // Two lines that each hold one space follow the notice; the prompt ends on that space.
    platform.messageBox(notice + u"\r\n \r\n ", MessageIcon::Exclamation, u"Lexitrove");
}
