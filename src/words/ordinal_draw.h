// SPDX-License-Identifier: MIT
// The random draw of an ordinal from the counted word list.
#pragma once

#include "app/form_state.h"
#include "ui/platform.h"

// Draws an ordinal 1..Total (1 when the list is empty) into Pick.
void PickIndex(FormState& form, Platform& platform);
