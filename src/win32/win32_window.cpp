// SPDX-License-Identifier: MIT
// The window and its controls, row by row from the window description.
#include "win32/win32_window.h"

#include "platform/platform.h"
#include "system/system_error_win32.h"
#include "ui/window_description.h"
#include "win32/win32_menu.h"
#include "win32/win32_phrase_box.h"

#include <commctrl.h>

#include <cmath>
#include <string>

namespace WD = WindowDescription;

namespace {

// A fixed size, as on Linux: the long, low bar is neither stretched nor maximised; it can be
// minimised and closed.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;
constexpr int kIconResource = 1;

std::wstring wide(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

int pixels(int twips, UINT dpi)
{
    return WD::toPixels(twips, dpi);
}

[[noreturn]] void throwWindowError()
{
    throw PlatformError{ErrorNumber::InternalError, windowsErrorText(GetLastError())};
}

// "Courier New" bold at `points`, asked for by pitch and family as well, so that a system
// without it gives a monospaced face of the same sizes; 0 points: the system's message font,
// the window's default.
HFONT createFont(double points, UINT dpi)
{
    if (points <= 0) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
            return nullptr;
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }
    return CreateFontW(-int(std::lround(points * dpi / 72.0)), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                       L"Courier New");
}

void registerClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = HICON(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hIconSm = HICON(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The class owns the brush: Windows deletes it with the class.
    const int rgb = WD::BackgroundRgb;
    windowClass.hbrBackground = CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    windowClass.lpszClassName = Win32Window::ClassName;
    if (!RegisterClassExW(&windowClass))
        throwWindowError();
}

} // namespace

Win32Window::Win32Window(HINSTANCE instance, WNDPROC procedure, Win32Menu& menu)
{
    registerClass(instance, procedure);
    // The size follows once the window knows the DPI of the screen Windows puts it on.
    m_window =
        CreateWindowExW(kExStyle, ClassName, wide(WD::Caption).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        pixels(WD::ClientWidthTwips, USER_DEFAULT_SCREEN_DPI),
                        pixels(WD::ClientHeightTwips, USER_DEFAULT_SCREEN_DPI), nullptr, menu.bar(), instance, nullptr);
    if (!m_window) {
        const DWORD error = GetLastError();
        DestroyMenu(menu.bar());
        UnregisterClassW(ClassName, instance);
        throw PlatformError{ErrorNumber::InternalError, windowsErrorText(error)};
    }
    menu.setWindow(m_window);
    int index = 0;
    for (const WD::Control& row : WD::controls()) {
        const bool combo = row.kind == WD::ControlKind::ComboBox;
        DWORD style = WS_CHILD | (row.visible ? WS_VISIBLE : 0) | (row.enabled ? 0 : WS_DISABLED);
        style |= combo ? DWORD(CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL) : DWORD(ES_LEFT | ES_AUTOHSCROLL);
        const DWORD exStyle = combo ? 0 : WS_EX_CLIENTEDGE; // the boxes' sunken border
        const HWND control = CreateWindowExW(exStyle, combo ? WC_COMBOBOXW : WC_EDITW, L"", style, 0, 0, 0, 0, m_window,
                                             HMENU(INT_PTR(firstControlId + index)), instance, nullptr);
        if (!control)
            throwWindowError();
        // The boxes start empty: a hidden box never holds what the program keeps in it (the
        // platform does), so no other program can read a phrase out of it. The combo box, which
        // nothing uses, keeps its text.
        if (combo)
            SetWindowTextW(control, wide(row.text).c_str());
        else
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0); // as long as a phrase may be
        if (row.box)
            m_boxes[std::size_t(*row.box)] = control;
        m_controls.push_back(control);
        ++index;
    }
    const HWND phraseBox = box(Box::Text1);
    keepTextDark(phraseBox);
    const UINT windowDpi = dpi();
    layOutControls(windowDpi);
    for (const WD::Control& row : WD::controls()) {
        if (!row.toolTip.empty())
            m_toolTip = addToolTip(box(*row.box), row.toolTip);
    }
    RECT outer;
    GetWindowRect(m_window, &outer);
    fitClientArea(windowDpi, outer.left, outer.top);
}

Win32Window::~Win32Window()
{
    const HINSTANCE instance = HINSTANCE(GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    DestroyWindow(m_window);
    for (const HFONT font : m_fonts)
        DeleteObject(font);
    UnregisterClassW(ClassName, instance);
}

UINT Win32Window::dpi() const
{
    return GetDpiForWindow(m_window);
}

void Win32Window::moveToDpi(UINT dpi, const RECT& suggested)
{
    layOutControls(dpi);
    fitClientArea(dpi, suggested.left, suggested.top);
}

void Win32Window::fitClientArea(UINT dpi, int left, int top)
{
    const int width = pixels(WD::ClientWidthTwips, dpi);
    const int height = pixels(WD::ClientHeightTwips, dpi);
    RECT outer{0, 0, width, height};
    AdjustWindowRectExForDpi(&outer, kStyle, TRUE, kExStyle, dpi);
    constexpr UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    SetWindowPos(m_window, nullptr, left, top, outer.right - outer.left, outer.bottom - outer.top, flags);
    // The menu bar's height is known once it is laid out at this width: where it differs from
    // the one line AdjustWindowRectExForDpi counts, the client area comes out short or tall.
    RECT client;
    GetClientRect(m_window, &client);
    const int missing = height - (client.bottom - client.top);
    if (missing != 0) {
        SetWindowPos(m_window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + missing,
                     flags | SWP_NOMOVE);
    }
}

void Win32Window::layOutControls(UINT dpi)
{
    std::vector<HFONT> fonts;
    std::size_t index = 0;
    for (const WD::Control& row : WD::controls()) {
        const HWND control = m_controls[index++];
        MoveWindow(control, pixels(row.left, dpi), pixels(row.top, dpi), pixels(row.width, dpi),
                   pixels(row.height, dpi), FALSE);
        if (const HFONT font = createFont(row.fontPoints, dpi)) {
            SendMessageW(control, WM_SETFONT, WPARAM(font), FALSE);
            fonts.push_back(font);
        }
        InvalidateRect(control, nullptr, TRUE);
    }
    // The old fonts only once no control uses them any more.
    for (const HFONT font : m_fonts)
        DeleteObject(font);
    m_fonts = std::move(fonts);
    moveToolTip(m_toolTip, box(Box::Text1));
}
