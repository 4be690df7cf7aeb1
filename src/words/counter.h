// SPDX-License-Identifier: MIT
// The character counter on the menu bar.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

// Writes "Charaters  " and the length of the phrase box to the caption of CH.
void ShowCount(FormState& form, Platform& platform);
