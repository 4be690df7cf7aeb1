// SPDX-License-Identifier: MIT
// Not built yet: the command does nothing.
#include "edit/spacing_commands.h"

void RS_Click(FormState&, Platform&) {}
void AD_Click(FormState&, Platform&) {}
void ADd_Click(FormState&, Platform&) {}
