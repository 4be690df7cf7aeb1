// SPDX-License-Identifier: MIT
// Keeps the system clipboard equal to the phrase box.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

// Change event of the phrase box: the clipboard gets the whole phrase box text.
void Text1_Change(FormState& form, Platform& platform);
