// SPDX-License-Identifier: MIT
// "Capital Letters", "Lower Case Letters" and "Capital Letters First".
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

void CL_Click(FormState& form, Platform& platform);
void LCL_Click(FormState& form, Platform& platform);
void CLF_Click(FormState& form, Platform& platform);
