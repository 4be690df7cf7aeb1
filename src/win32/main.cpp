// SPDX-License-Identifier: MIT
// The Windows program: builds the window on the Windows API and runs the program's life on it.
#include "app/startup.h"
#include "win32/win32_platform.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // The tooltip's class, and version 6 of the controls, which the manifest asks for.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        Win32Platform platform(instance, showCommand);
        return runProgram(platform);
    } catch (const PlatformError& error) {
        // No window could be made: there is nothing else to run on.
        const std::u16string prompt = u"Lexitrove cannot open its window: " + error.description;
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(prompt.c_str()), L"Lexitrove", MB_OK | MB_ICONERROR);
        return 1;
    }
}
