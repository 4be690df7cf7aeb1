// SPDX-License-Identifier: MIT
// The phrase box's dark text and its tooltip.
#include "win32/win32_phrase_box.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr UINT_PTR kDarkTextSubclass = 1;
constexpr UINT_PTR kToolId = 1;

// Draws as the edit control itself would, in its formatting rectangle, font and background,
// only with the text in the window text colour.
void paintDisabled(HWND edit)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(edit, &paint);
    RECT client;
    GetClientRect(edit, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    std::wstring text(std::size_t(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(edit, text.data(), int(text.size()))));
    RECT format = client;
    SendMessageW(edit, EM_GETRECT, 0, LPARAM(&format));
    const HGDIOBJ oldFont = SelectObject(dc, HGDIOBJ(SendMessageW(edit, WM_GETFONT, 0, 0)));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    ExtTextOutW(dc, format.left, format.top, ETO_CLIPPED, &format, text.c_str(), UINT(text.size()), nullptr);
    SelectObject(dc, oldFont);
    EndPaint(edit, &paint);
}

LRESULT CALLBACK darkTextProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_PAINT:
        if (!IsWindowEnabled(edit))
            break;
        return DefSubclassProc(edit, message, wParam, lParam);
    case WM_ERASEBKGND:
        // The painting above fills the whole box: erasing first would only flicker.
        if (!IsWindowEnabled(edit))
            return 1;
        return DefSubclassProc(edit, message, wParam, lParam);
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, darkTextProc, kDarkTextSubclass);
        return DefSubclassProc(edit, message, wParam, lParam);
    default: return DefSubclassProc(edit, message, wParam, lParam);
    }
    paintDisabled(edit);
    return 0;
}

// The control's rectangle in its parent's client area.
RECT rectInParent(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TOOLINFOW toolInfo(HWND control)
{
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(control);
    tool.uId = kToolId;
    tool.rect = rectInParent(control);
    return tool;
}

} // namespace

void keepTextDark(HWND edit)
{
    SetWindowSubclass(edit, darkTextProc, kDarkTextSubclass, 0);
}

HWND addToolTip(HWND control, std::u16string_view text)
{
    const HWND parent = GetParent(control);
    // No prefix: an '&' in the text is shown as itself. Like the rest of the window, the tip
    // shows only while the window is active.
    const HWND toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                         HINSTANCE(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!toolTip)
        return nullptr;
    std::wstring shown(text.begin(), text.end());
    TOOLINFOW tool = toolInfo(control);
    // The tooltip watches the parent's mouse messages itself.
    tool.uFlags = TTF_SUBCLASS;
    tool.lpszText = shown.data();
    SendMessageW(toolTip, TTM_ADDTOOLW, 0, LPARAM(&tool));
    return toolTip;
}

void moveToolTip(HWND toolTip, HWND control)
{
    if (!toolTip)
        return;
    TOOLINFOW tool = toolInfo(control);
    SendMessageW(toolTip, TTM_NEWTOOLRECTW, 0, LPARAM(&tool));
}
