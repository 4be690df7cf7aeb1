// SPDX-License-Identifier: MIT
// What the test driver and its hook DLL (inspect_hook.cpp) say to each other.
#pragma once

// Posted to a window of the program, with the driver's reply window in wParam and one of the
// questions below in lParam.
inline constexpr wchar_t InspectMessageName[] = L"LexitroveTestInspect";

// The window's menu bar, one line per item, depth first:
//   depth|kind|state|id|caption   kind P (opens a list), S (separator), C (command);
//                                 state G (greyed) or -; id 0 for a list
// The icon of a message box: "exclamation", "hand", ...
// The pointer the program has set: "wait", "arrow" or "another pointer".
enum InspectQuestion { InspectMenu = 1, InspectIcon = 2, InspectPointer = 3 };
