// SPDX-License-Identifier: MIT
// Form1 on the Windows API: the window, its controls and its menu bar, built from the window
// description, in twips at the window's own DPI. Its messages go to the procedure it is given.
#pragma once

#include "platform/controls.h"

#include <windows.h>

#include <array>
#include <vector>

class Win32Menu;

class Win32Window
{
public:
    static constexpr const wchar_t* ClassName = L"LexitroveForm1";
    // The id of a control: 1000 + its place in WindowDescription::controls().
    static constexpr int firstControlId = 1000;

    // Creates the window, hidden, with its controls and `menu`'s bar, which it then owns. Throws
    // PlatformError when Windows refuses it (no desktop to open it on).
    Win32Window(HINSTANCE instance, WNDPROC procedure, Win32Menu& menu);
    ~Win32Window();
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    HWND handle() const { return m_window; }
    HWND box(Box box) const { return m_boxes[std::size_t(box)]; }
    UINT dpi() const;

    // WM_DPICHANGED: the window, its controls and their fonts at the new DPI, the window at the
    // place Windows suggests.
    void moveToDpi(UINT dpi, const RECT& suggested);

private:
    // The outer size that gives the client area its size in twips at `dpi`.
    void fitClientArea(UINT dpi, int left, int top);
    void layOutControls(UINT dpi);

    HWND m_window = nullptr;
    std::vector<HWND> m_controls; // in creation order
    std::array<HWND, 3> m_boxes{}; // by Box
    std::vector<HFONT> m_fonts;
    HWND m_toolTip = nullptr;
};
