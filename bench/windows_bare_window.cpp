// SPDX-License-Identifier: MIT
// The start-up benchmark's baselines, hand-written Win32 windows of Lexitrove's shape that read no
// word list and run none of its logic, shown at once; windows_bench.sh starts them beside
// lexitrove.exe under Wine:
// - windows_bare_window: the same client size and menu bar, nothing in it;
// - windows_plain_window (LEXITROVE_CONTROLS): also the controls every build of this window
//   makes, the phrase box and the three hidden ones with their fonts, the tooltip, and the same
//   manifest and icon.
#include <windows.h>

#include <commctrl.h>

#include <initializer_list>

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

HMENU menuBar()
{
    HMENU bar = CreateMenu();
    HMENU words = CreatePopupMenu();
    HMENU change = CreatePopupMenu();
    AppendMenuW(words, MF_SEPARATOR, 0, nullptr);
    for (const wchar_t* caption : {L"Words (01)", L"Words (02)", L"Words (03)", L"Words (04)", L"Words (05)",
                                   L"Words (06)", L"Words (07)", L"Words (08)", L"Words (09)", L"Words (10)", L"InFo"})
        AppendMenuW(words, MF_STRING, 1, caption);
    AppendMenuW(words, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(change, MF_SEPARATOR, 0, nullptr);
    for (const wchar_t* caption : {L"Capital Letters", L"Lower Case Letters", L"Capital Letters First",
                                   L"Remove Spaces", L"Add -", L"Add ."})
        AppendMenuW(change, MF_STRING, 2, caption);
    AppendMenuW(change, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(words), L"Words");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(change), L"Change Tex");
    AppendMenuW(bar, MF_STRING, 3, L"Copy Text");
    AppendMenuW(bar, MF_STRING, 4, L"Characters 0");
    return bar;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    windowClass.lpszClassName = L"LexitroveBareWindow";
    RegisterClassW(&windowClass);
    // 13500 x 900 twips at 96 dots per inch.
    RECT frame{0, 0, 900, 60};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, TRUE);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Lexitrove", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  menuBar(), instance, nullptr);
#if defined(LEXITROVE_CONTROLS)
    // At 96 dots per inch, as the benchmark's screen has: the twips of the window description.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    const auto courier = [](int pixels) {
        return CreateFontW(-pixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    };
    CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 616, 136, 185, 25, window, nullptr, instance, nullptr);
    HWND count = CreateWindowExW(0, L"EDIT", L"01", WS_CHILD | ES_AUTOHSCROLL, 832, 80, 41, 35, window, nullptr,
                                 instance, nullptr);
    CreateWindowExW(0, L"COMBOBOX", L"01", WS_CHILD | CBS_DROPDOWN, 840, 144, 41, 21, window, nullptr, instance,
                    nullptr);
    HWND phrase = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_DISABLED | ES_AUTOHSCROLL, 0, 16, 897,
                                  27, window, nullptr, instance, nullptr);
    SendMessageW(count, WM_SETFONT, WPARAM(courier(27)), FALSE);
    SendMessageW(phrase, WM_SETFONT, WPARAM(courier(13)), FALSE);
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window;
    tool.rect = {0, 16, 897, 43};
    tool.lpszText = const_cast<wchar_t*>(L" Clik To Save Clipboard ");
    SendMessageW(tip, TTM_ADDTOOLW, 0, LPARAM(&tool));
    SendMessageW(window, WM_SETICON, ICON_BIG, LPARAM(LoadIconW(instance, MAKEINTRESOURCEW(1))));
#endif
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
