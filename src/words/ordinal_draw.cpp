// SPDX-License-Identifier: MIT
// One random ordinal per word.
#include "words/ordinal_draw.h"

#include <cmath>

void PickIndex(FormState& form, Platform& platform)
{
    // The clock reading is handed to the generator before every draw, but the generator is the
    // system's cryptographic source and only mixes it in: a known time of day predicts nothing.
    platform.reseed(platform.timeOfDay());
    const float r = platform.randomDraw();
    // Ordinal k is drawn when (k - 1) / Total <= r < k / Total; an empty list always gives 1.
    form.Pick = std::floor(double(r) * double(form.Total) + 1.0);
}
