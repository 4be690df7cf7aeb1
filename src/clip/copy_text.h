// SPDX-License-Identifier: MIT
// "Copy Text": copies the phrase box again and confirms for one second.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

void Ct1_Click(FormState& form, Platform& platform);
