// SPDX-License-Identifier: MIT
// "Copy Text": copies the phrase box again and confirms for one second.
#pragma once

#include "app/form_state.h"
#include "ui/platform.h"

void Ct1_Click(FormState& form, Platform& platform);
