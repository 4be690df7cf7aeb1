// SPDX-License-Identifier: MIT
// Closing sequence (the animation is still to come: for now the process just ends).
#include "app/closing.h"

void Form_Unload(FormState&, Platform& platform, qint16&)
{
    platform.endProcess(0);
}
