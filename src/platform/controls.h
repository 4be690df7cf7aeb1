// SPDX-License-Identifier: MIT
// The window's text boxes and menu items, by the program's own names. The window description
// (src/ui/window_description.cpp) gives each its name text, caption and handler.
#pragma once

// The text boxes the logic reads and writes: the phrase box, the word-count box and the
// scratch box.
enum class Box { Text1, Text2, Text3 };

// Every item of the menu tree, in display order. The B items are separators.
// clang-format off
enum class Item {
    W, B1, W1, W2, W3, W4, W5, W6, W7, W8, W9, W10, InF, B2,
    Ct, B3, CL, LCL, CLF, RS, AD, ADd, B4,
    Ct1,
    CH,
};
// clang-format on
