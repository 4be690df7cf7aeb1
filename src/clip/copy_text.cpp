// SPDX-License-Identifier: MIT
// Not built yet: the command does nothing.
#include "clip/copy_text.h"

void Ct1_Click(FormState&, Platform&) {}
