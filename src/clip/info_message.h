// SPDX-License-Identifier: MIT
// "InFo": a short modal message about the program.
#pragma once

#include "app/form_state.h"
#include "ui/platform.h"

void InF_Click(FormState& form, Platform& platform);
