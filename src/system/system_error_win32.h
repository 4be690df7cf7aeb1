// SPDX-License-Identifier: MIT
// Windows' own words for its error codes, as the messages that pass them on show them.
#pragma once

#include <string>

// The system's text for a Win32 error code (GetLastError), in the user's language, as one
// phrase: without the full stop and line break that end it. "Windows error N" where the system
// has no text for it.
std::u16string windowsErrorText(unsigned long code);
