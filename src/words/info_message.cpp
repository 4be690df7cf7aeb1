// SPDX-License-Identifier: MIT
// "InFo": one line about the program, under its name.
#include "words/info_message.h"

void InF_Click(FormState&, Platform& platform)
{
    const QString notice = QStringLiteral(
        "Lexitrove builds random pass phrases from the words of Words.TxT beside the program "
        "(as shipped, the EFF large word list) and puts them on the clipboard.");
    // Two lines that each hold one space follow the notice; the prompt ends on that space.
    platform.messageBox(notice + QStringLiteral("\r\n \r\n "), MessageButtons::Ok, MessageIcon::Exclamation,
                        QStringLiteral("Lexitrove"));
}
