// SPDX-License-Identifier: MIT
// Not built yet: the command does nothing.
#include "edit/case_commands.h"

void CL_Click(FormState&, Platform&) {}
void LCL_Click(FormState&, Platform&) {}
void CLF_Click(FormState&, Platform&) {}
