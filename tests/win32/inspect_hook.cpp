// SPDX-License-Identifier: MIT
// A hook DLL that the test driver has Windows load into the running program, to read what only
// that process can read: its menus, which standard icon a message box of it shows, and the
// pointer it has set.
//
// The driver installs InspectHook as a WH_GETMESSAGE hook on the window's thread and posts the
// message registered as InspectMessageName to a window of the program, with its own reply
// window in wParam and the question in lParam. The hook answers with WM_COPYDATA: one line per
// menu item, or the icon's or pointer's name. The program itself carries no code for this.
#include "inspect_protocol.h"

#include <windows.h>

#include <string>

namespace {

// One line per item, depth first: depth, kind, state, command id, caption (see
// inspect_protocol.h).
void describeMenu(HMENU menu, int depth, std::wstring& out)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t caption[256] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = UINT(std::size(caption));
        if (!GetMenuItemInfoW(menu, UINT(i), TRUE, &info))
            continue;
        const wchar_t kind = info.hSubMenu ? L'P' : (info.fType & MFT_SEPARATOR) ? L'S' : L'C';
        out += std::to_wstring(depth) + L'|' + kind + L'|' + ((info.fState & MFS_GRAYED) ? L'G' : L'-') + L'|' +
               std::to_wstring(info.hSubMenu ? 0 : info.wID) + L'|' + caption + L'\n';
        if (info.hSubMenu)
            describeMenu(info.hSubMenu, depth + 1, out);
    }
}

// The standard icon that the box's icon control shows. Shared icons are loaded once per
// process, so the box's handle is the one LoadIconW gives here.
std::wstring describeIcon(HWND box)
{
    struct Search
    {
        HICON icon = nullptr;
    } search;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM data) -> BOOL {
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
                return TRUE;
            reinterpret_cast<Search*>(data)->icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.icon)
        return L"none";
    const struct
    {
        LPCWSTR id;
        const wchar_t* name;
    } standard[] = {{IDI_EXCLAMATION, L"exclamation"}, {IDI_HAND, L"hand"}, {IDI_QUESTION, L"question"},
                    {IDI_ASTERISK, L"asterisk"}};
    for (const auto& s : standard) {
        if (LoadIconW(nullptr, s.id) == search.icon)
            return s.name;
    }
    return L"another icon";
}

// The pointer set by the program's thread. Like icons, shared pointers are loaded once per process.
std::wstring describePointer()
{
    const HCURSOR pointer = GetCursor();
    if (pointer == LoadCursorW(nullptr, IDC_WAIT))
        return L"wait";
    if (pointer == LoadCursorW(nullptr, IDC_ARROW))
        return L"arrow";
    return L"another pointer";
}

void answer(HWND target, HWND replyTo, LPARAM question)
{
    std::wstring reply;
    if (question == InspectMenu) {
        if (HMENU bar = GetMenu(target))
            describeMenu(bar, 0, reply);
    } else if (question == InspectIcon) {
        reply = describeIcon(target);
    } else if (question == InspectPointer) {
        reply = describePointer();
    }
    COPYDATASTRUCT data{};
    data.dwData = DWORD(question);
    data.cbData = DWORD((reply.size() + 1) * sizeof(wchar_t));
    data.lpData = reply.data();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(replyTo, WM_COPYDATA, reinterpret_cast<WPARAM>(target), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK InspectHook(int code, WPARAM removing, LPARAM message)
{
    static const UINT question = RegisterWindowMessageW(InspectMessageName);
    auto* msg = reinterpret_cast<MSG*>(message);
    if (code == HC_ACTION && removing == PM_REMOVE && msg->message == question) {
        answer(msg->hwnd, reinterpret_cast<HWND>(msg->wParam), msg->lParam);
        msg->message = WM_NULL; // the program never sees the question
    }
    return CallNextHookEx(nullptr, code, removing, message);
}
