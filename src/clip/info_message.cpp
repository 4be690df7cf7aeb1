// SPDX-License-Identifier: MIT
// Not built yet: the command does nothing.
#include "clip/info_message.h"

void InF_Click(FormState&, Platform&) {}
