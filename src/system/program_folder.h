// SPDX-License-Identifier: MIT
// Where the program's own executable lies, for the word list beside it.
#pragma once

#include <string>

// The folder of the running executable, symbolic links resolved, without a trailing separator.
// Empty when the system cannot tell.
std::u16string programFolder();
