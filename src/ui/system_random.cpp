// SPDX-License-Identifier: MIT
// Draws from the system's cryptographic source.
#include "ui/system_random.h"

#include <QRandomGenerator>

float systemRandomDraw()
{
    // The top 24 bits of a 32-bit draw fill a float's significand exactly, so no rounding can
    // push r up to 1 or favour any value.
    return float(QRandomGenerator::system()->generate() >> 8) * (1.0f / 16777216.0f);
}
