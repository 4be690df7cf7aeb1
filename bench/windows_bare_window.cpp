// SPDX-License-Identifier: MIT
// The start-up benchmark's baseline: a bare Win32 window of Lexitrove's shape (the same client
// size and menu bar, nothing in it, no word list read), shown at once. windows_bench.sh starts
// it beside lexitrove.exe under Wine.
#include <windows.h>

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
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
