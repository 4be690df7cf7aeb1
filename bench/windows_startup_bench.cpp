// SPDX-License-Identifier: MIT
// Start-up to window shown, under Wine or on Windows: starts each of the given programs in turn,
// RUNS times, and takes the time from CreateProcessW to the first visible top-level window of
// that process; the process is then ended at once. Prints, one program a line, the best and
// the median in milliseconds:  NAME best MS median MS
//   windows_startup_bench RUNS PROGRAM.exe...
#include "bench_support.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool showsWindow(DWORD processId)
{
    struct Search
    {
        DWORD processId;
        bool found = false;
    } search{processId};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            s.found = owner == s.processId && IsWindowVisible(window);
            return !s.found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Milliseconds from the start of `program` to its window; -1 when it shows none within 30 s.
double startUp(const std::wstring& program)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const Clock::time_point start = Clock::now();
    // From the program's own folder, where lexitrove.exe finds its word list.
    const std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return -1;
    double ms = -1;
    while (Clock::now() - start < std::chrono::seconds(30)) {
        if (showsWindow(process.dwProcessId)) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) != WAIT_TIMEOUT)
            break;
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ms;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: windows_startup_bench RUNS PROGRAM.exe...\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    std::vector<std::vector<double>> times(std::size_t(argc - 2));
    // In turn, so that whatever else the machine does falls on every program alike; the first
    // round warms the caches and is not counted.
    for (int run = 0; run <= runs; ++run) {
        for (int i = 2; i < argc; ++i) {
            const double ms = startUp(argv[i]);
            if (ms < 0) {
                std::fprintf(stderr, "%ls showed no window\n", argv[i]);
                return 2;
            }
            if (run > 0)
                times[std::size_t(i - 2)].push_back(ms);
        }
    }
    for (int i = 2; i < argc; ++i) {
        const Spread spread = spreadOf(times[std::size_t(i - 2)]);
        const std::wstring path = argv[i];
        std::printf("%ls best %.1f median %.1f\n", path.substr(path.find_last_of(L"\\/") + 1).c_str(), spread.best,
                    spread.median);
    }
    return 0;
}
