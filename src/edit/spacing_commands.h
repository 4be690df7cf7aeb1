// SPDX-License-Identifier: MIT
// "Remove Spaces", "Add -" and "Add .": rewrite the spaces of the phrase.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

void RS_Click(FormState& form, Platform& platform);
void AD_Click(FormState& form, Platform& platform);
void ADd_Click(FormState& form, Platform& platform);
