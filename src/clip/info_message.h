// SPDX-License-Identifier: MIT
// "InFo": a short modal message about the program.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

void InF_Click(FormState& form, Platform& platform);
