// SPDX-License-Identifier: MIT
// Not built yet: the command does nothing.
#include "clip/clipboard_mirror.h"

void Text1_Change(FormState&, Platform&) {}
