// SPDX-License-Identifier: MIT
// What the disabled phrase box needs beyond a plain edit control: its text drawn as dark as in
// an enabled box, and a tooltip, which a disabled control cannot show by itself.
#pragma once

#include <windows.h>

#include <string_view>

// From now on `edit`, while disabled, draws its text in the window text colour instead of the
// pale grey of a disabled control: the phrase is there to be read.
void keepTextDark(HWND edit);

// A tooltip over `control`, owned by its parent window: a disabled control gets no mouse
// messages, so the tool is the control's rectangle in the parent, which does. Returns the
// tooltip window (the parent destroys it), or null where the system refuses one.
HWND addToolTip(HWND control, std::u16string_view text);
// After the control has moved (a change of DPI).
void moveToolTip(HWND toolTip, HWND control);
