// SPDX-License-Identifier: MIT
// The program's folder on Linux, from the kernel's own link to the running executable.
#include "system/program_folder.h"

#include "platform/text.h"

#include <climits>
#include <cstdlib>
#include <memory>

std::u16string programFolder()
{
    // /proc/self/exe names the executable with every link resolved, whatever the program was
    // started through (a link in bin/, a relative path).
    const std::unique_ptr<char, decltype(&std::free)> path(::realpath("/proc/self/exe", nullptr), &std::free);
    if (!path)
        return {};
    const std::string file = path.get();
    const std::size_t slash = file.rfind('/');
    return fromSystemUtf8(slash == 0 ? std::string("/") : file.substr(0, slash));
}
