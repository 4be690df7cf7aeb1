// SPDX-License-Identifier: MIT
// Closing sequence: the window shrinks and moves away, then the process ends.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

#include <cstdint>

// Unload event. Never sets `cancel` and never returns normally: it ends the process.
void Form_Unload(FormState& form, Platform& platform, std::int16_t& cancel);
