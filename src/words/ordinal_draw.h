// SPDX-License-Identifier: MIT
// The random draw of an ordinal from the counted word list.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

// Draws an ordinal 1..Total into Pick, every one equally likely (1 when the list is empty).
// When the system gives no random bits, Pick is left empty and Fault says why.
void PickIndex(FormState& form, Platform& platform);
