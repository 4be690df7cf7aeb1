// SPDX-License-Identifier: MIT
// "Words (01)" to "Words (10)": build a phrase of 1 to 10 random words.
#pragma once

#include "form/form_state.h"
#include "platform/platform.h"

#include <string>

// Builds a phrase of as many words as `countText` ("01" ... "10") says.
void generatePhrase(FormState& form, Platform& platform, const std::u16string& countText);

void W1_Click(FormState& form, Platform& platform);
void W2_Click(FormState& form, Platform& platform);
void W3_Click(FormState& form, Platform& platform);
void W4_Click(FormState& form, Platform& platform);
void W5_Click(FormState& form, Platform& platform);
void W6_Click(FormState& form, Platform& platform);
void W7_Click(FormState& form, Platform& platform);
void W8_Click(FormState& form, Platform& platform);
void W9_Click(FormState& form, Platform& platform);
void W10_Click(FormState& form, Platform& platform);
