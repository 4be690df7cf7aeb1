// SPDX-License-Identifier: MIT
// "InFo": one line about the program, under its name.
#include "clip/info_message.h"

namespace {

// Exclamation-mark icon (48) with the single OK button (0).
constexpr int OkWithWarningIcon = 48;

} // namespace

void InF_Click(FormState&, Platform& platform)
{
    const QString notice = QStringLiteral(
        "Lexitrove builds random pass phrases from the words of Words.TxT beside the program "
        "(as shipped, the EFF large word list) and puts them on the clipboard.");
    // Two lines that each hold one space follow the notice; the prompt ends on that space.
    platform.messageBox(notice + QStringLiteral("\r\n \r\n "), OkWithWarningIcon, QStringLiteral("Lexitrove"));
}
