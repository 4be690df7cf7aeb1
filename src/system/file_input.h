// SPDX-License-Identifier: MIT
// Opening the word list on the real file system, for the desktops and the tests.
#pragma once

#include "platform/platform.h"

#include <memory>
#include <string>

// Opens `path` for sequential input. Throws PlatformError 53 (missing, or a dangling link), 70
// (not readable, or locked by another program) or 75 (not a regular file: a directory, FIFO,
// device or socket), with the system's reason as its description; reads throw 57 the same way.
// Never blocks on a FIFO or a device.
std::unique_ptr<InputFile> openFileForInput(const std::u16string& path);
