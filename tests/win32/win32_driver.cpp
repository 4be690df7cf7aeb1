// SPDX-License-Identifier: MIT
// The test driver's means of working the real program from outside (see win32_driver.h).
#include "win32_driver.h"

#include "inspect_protocol.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <winioctl.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

constexpr wchar_t WindowClass[] = L"LexitroveForm1";

// The driver's own window, where the hook DLL sends its answers.
class ReplyWindow
{
public:
    ReplyWindow()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ReplyWindow::receive;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"LexitroveTestDriver";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
    }
    HWND handle() const { return m_window; }

    // Asks the program's window `target` the question and waits for the answer.
    std::wstring ask(HWND target, int question)
    {
        static const UINT message = RegisterWindowMessageW(InspectMessageName);
        static HMODULE hookDll = LoadLibraryW(L"inspect_hook.dll");
        const auto hookProc =
            reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(GetProcAddress(hookDll, "InspectHook")));
        if (!hookProc) {
            ADD_FAILURE() << "inspect_hook.dll is not beside the driver";
            return {};
        }
        HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, hookProc, hookDll, GetWindowThreadProcessId(target, nullptr));
        s_answer.reset();
        PostMessageW(target, message, reinterpret_cast<WPARAM>(m_window), question);
        const auto start = Clock::now();
        while (!s_answer && Clock::now() - start < 20s)
            pumpFor(5ms);
        UnhookWindowsHookEx(hook);
        if (!s_answer)
            ADD_FAILURE() << "the program's window did not answer the hook DLL within 20 s";
        return s_answer.value_or(L"");
    }

private:
    static LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != WM_COPYDATA)
            return DefWindowProcW(window, message, wParam, lParam);
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        s_answer = std::wstring(static_cast<const wchar_t*>(data->lpData));
        return TRUE;
    }

    HWND m_window = nullptr;
    static inline std::optional<std::wstring> s_answer;
};

ReplyWindow& replyWindow()
{
    static ReplyWindow window;
    return window;
}

// The child windows of `parent`, or the top-level windows where it is null.
std::vector<HWND> windowsUnder(HWND parent)
{
    std::vector<HWND> found;
    const WNDENUMPROC add = [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    };
    parent ? EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&found))
           : EnumWindows(add, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

// The top-level windows of `processId` of this class that are shown.
std::vector<HWND> shownWindows(DWORD processId, const wchar_t* className)
{
    std::vector<HWND> shown;
    for (HWND window : windowsUnder(nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window) && classOf(window) == className)
            shown.push_back(window);
    }
    return shown;
}

// Opens the clipboard, which the program may hold open for a moment.
bool openClipboard()
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (OpenClipboard(replyWindow().handle()))
            return true;
        pumpFor(10ms);
    }
    ADD_FAILURE() << "the clipboard stayed open by another program for 2 s";
    return false;
}

} // namespace

DriverSettings& settings()
{
    static DriverSettings s;
    return s;
}

int holdSession()
{
    replyWindow(); // a window of its own: the desktop starts here
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "ready\n", 6, &written, nullptr);
    char byte;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr) && read == 1) {
    }
    return 0;
}

// One of the functions Wine adds to kernel32 and ntdll; null on Windows itself.
template <typename Function>
Function* wineFunction(const wchar_t* module, const char* name)
{
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(module), name)));
}

bool underWine()
{
    return wineFunction<const char*()>(L"ntdll.dll", "wine_get_version") != nullptr;
}

std::wstring windowsPath(const std::wstring& path)
{
    const auto toDos = wineFunction<WCHAR*(const char*)>(L"kernel32.dll", "wine_get_dos_file_name");
    if (path.empty() || path[0] != L'/' || !toDos)
        return path;
    WCHAR* dos = toDos(toUtf8(path).c_str());
    std::wstring result = dos ? dos : path;
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

std::string unixPath(const std::wstring& path)
{
    const auto toUnix = wineFunction<char*(const WCHAR*)>(L"kernel32.dll", "wine_get_unix_file_name");
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    std::string result = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

std::wstring fromUtf8(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), int(wide.size())));
    return wide;
}

std::string toUtf8(const std::wstring& text)
{
    std::string narrow(text.size() * 3, '\0');
    narrow.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), narrow.data(), int(narrow.size()),
                                      nullptr, nullptr));
    return narrow;
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::wstring> splitWords(const std::wstring& phrase)
{
    std::vector<std::wstring> words;
    std::size_t start = 0;
    for (std::size_t space; (space = phrase.find(L' ', start)) != std::wstring::npos; start = space + 1)
        words.push_back(phrase.substr(start, space - start));
    words.push_back(phrase.substr(start));
    return words;
}

void pumpFor(std::chrono::milliseconds time)
{
    const auto end = Clock::now() + time;
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left > 0)
            MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(left), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    } while (Clock::now() < end);
}

// --- The program's folder ------------------------------------------------------------------------

ProgramFolder::ProgramFolder()
{
    static std::atomic<int> runs = 0;
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"Lexitrove Prüfung \u20ac " + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++runs);
    std::filesystem::create_directories(m_path);
    if (settings().program.empty())
        throw std::invalid_argument("no --program=PATH\\lexitrove.exe given");
    std::filesystem::copy_file(settings().program, program(), std::filesystem::copy_options::overwrite_existing);
}

ProgramFolder::ProgramFolder(const std::vector<std::wstring>& list)
    : ProgramFolder()
{
    writeWordList(list);
}

ProgramFolder::~ProgramFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void ProgramFolder::writeWordList(const std::vector<std::wstring>& items)
{
    std::ofstream file(std::filesystem::path(m_path) / L"Words.TxT", std::ios::binary | std::ios::trunc);
    for (const auto& item : items)
        file << toUtf8(item) << '\n';
}

void ProgramFolder::writeHugeWordList(long long bytes)
{
    HANDLE file = CreateFileW((m_path + L"\\Words.TxT").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = bytes;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

// --- The clipboard -------------------------------------------------------------------------------

ClipboardSeen readClipboard()
{
    ClipboardSeen seen;
    if (!openClipboard())
        return seen;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        seen.text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    for (const wchar_t* mark : {L"ExcludeClipboardContentFromMonitorProcessing", L"CanIncludeInClipboardHistory",
                                L"CanUploadToCloudClipboard"}) {
        std::optional<long long> value;
        if (HANDLE data = GetClipboardData(RegisterClipboardFormatW(mark))) {
            value = GlobalSize(data) >= sizeof(DWORD) ? *static_cast<const DWORD*>(GlobalLock(data)) : -1;
            GlobalUnlock(data);
        }
        seen.marks[mark] = value;
    }
    CloseClipboard();
    return seen;
}

ClipboardHold::ClipboardHold()
{
    openClipboard();
}

ClipboardHold::~ClipboardHold()
{
    CloseClipboard();
}

void putOnClipboard(const std::wstring& text)
{
    if (!openClipboard())
        return;
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
}

std::optional<std::string> readXClipboard()
{
    if (!underWine())
        return std::nullopt;
    // Wine starts Unix programs too, but does not wait for them: xclip writes a file that appears
    // under its final name only once complete.
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    const std::wstring output = std::wstring(temp) + L"lexitrove-xclip-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring unixOutput = fromUtf8(unixPath(output));
    std::wstring command = L"/bin/sh -c \"xclip -o -selection clipboard > '" + unixOutput + L".part'; mv '" +
                           unixOutput + L".part' '" + unixOutput + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "could not start xclip through /bin/sh";
        return std::nullopt;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::filesystem::path file(output);
    if (!pollUntil<bool>([&] { return std::filesystem::exists(file); }, [](bool there) { return there; })) {
        ADD_FAILURE() << "xclip wrote nothing within 20 s";
        return std::nullopt;
    }
    std::ifstream stream(file, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(stream), {});
    stream.close();
    std::filesystem::remove(file);
    return text;
}

// --- The program ---------------------------------------------------------------------------------

TestedProgram::TestedProgram(const std::wstring& exe)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &m_process))
        ADD_FAILURE() << "could not start " << toUtf8(exe) << ": error " << GetLastError();
}

TestedProgram TestedProgram::fromShortcut(const std::wstring& shortcut, const std::wstring& exe)
{
    TestedProgram program;
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.lpFile = shortcut.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&execute)) {
        ADD_FAILURE() << "could not open the shortcut " << toUtf8(shortcut);
        return program;
    }
    // The process is whichever shows the program's window from the installed executable.
    const auto found = pollUntil<DWORD>(
        [&]() -> DWORD {
            HWND window = FindWindowW(WindowClass, nullptr);
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
            wchar_t image[MAX_PATH] = L"";
            DWORD size = MAX_PATH;
            const bool ours = process && QueryFullProcessImageNameW(process, 0, image, &size) &&
                              lstrcmpiW(image, exe.c_str()) == 0;
            if (process)
                CloseHandle(process);
            return ours ? processId : 0;
        },
        [](const DWORD& processId) { return processId != 0; });
    if (!found) {
        ADD_FAILURE() << "no window of " << toUtf8(exe) << " appeared after opening " << toUtf8(shortcut);
        return program;
    }
    program.m_process.dwProcessId = found;
    program.m_process.hProcess =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, found);
    return program;
}

TestedProgram::TestedProgram(TestedProgram&& other) noexcept
    : m_process(std::exchange(other.m_process, {}))
    , m_window(other.m_window)
    , m_hiddenAtStart(std::move(other.m_hiddenAtStart))
    , m_ended(other.m_ended)
{
}

TestedProgram::~TestedProgram()
{
    if (!m_process.hProcess)
        return;
    if (running()) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    CloseHandle(m_process.hProcess);
    if (m_process.hThread)
        CloseHandle(m_process.hThread);
}

bool TestedProgram::running() const
{
    return m_process.hProcess && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

HWND TestedProgram::waitForWindow()
{
    const auto windows = pollUntil<std::vector<HWND>>(
        [&] { return shownWindows(m_process.dwProcessId, WindowClass); },
        [&](const std::vector<HWND>& found) { return !found.empty() || !running(); });
    if (windows.size() != 1) {
        ADD_FAILURE() << "expected the program's one window to be shown; saw " << windows.size()
                      << (running() ? "" : " and the program ended");
        return nullptr;
    }
    m_window = windows.front();
    m_hiddenAtStart = hiddenTexts();
    return m_window;
}

int TestedProgram::waitForExit(std::chrono::milliseconds limit)
{
    const auto start = Clock::now();
    while (running() && Clock::now() - start < limit)
        pumpFor(5ms);
    if (running())
        return -1;
    m_ended = Clock::now();
    DWORD status = 0;
    GetExitCodeProcess(m_process.hProcess, &status);
    return int(status);
}

HWND TestedProgram::phraseBox() const
{
    for (HWND child : windowsUnder(m_window)) {
        if (IsWindowVisible(child) && classOf(child) == L"Edit")
            return child;
    }
    ADD_FAILURE() << "the window has no visible text box";
    return nullptr;
}

std::vector<HWND> TestedProgram::visibleChildren() const
{
    std::vector<HWND> visible;
    for (HWND child : windowsUnder(m_window)) {
        if (IsWindowVisible(child))
            visible.push_back(child);
    }
    return visible;
}

std::vector<std::wstring> TestedProgram::hiddenTexts() const
{
    std::vector<std::wstring> texts;
    for (HWND child : windowsUnder(m_window)) {
        if (!IsWindowVisible(child))
            texts.push_back(textOf(child));
    }
    return texts;
}

std::wstring TestedProgram::textOf(HWND control)
{
    wchar_t text[4096] = L"";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             20000, &length))
        ADD_FAILURE() << "the program did not answer WM_GETTEXT within 20 s";
    return std::wstring(text, length);
}

std::vector<MenuItem> TestedProgram::menu() const
{
    std::vector<MenuItem> items;
    std::wistringstream lines(replyWindow().ask(m_window, InspectMenu));
    for (std::wstring line; std::getline(lines, line);) {
        std::wistringstream fields(line);
        std::wstring depth, kind, state, id, caption;
        for (std::wstring* field : {&depth, &kind, &state, &id})
            std::getline(fields, *field, L'|');
        std::getline(fields, caption);
        items.push_back({std::stoi(depth), kind.at(0), state == L"G", UINT(std::stoul(id)), caption});
    }
    return items;
}

void TestedProgram::choose(const std::wstring& caption)
{
    for (const MenuItem& item : menu()) {
        if (item.caption == caption && item.kind == L'C') {
            PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(item.id, 0), 0);
            return;
        }
    }
    ADD_FAILURE() << "the menu has no command \"" << toUtf8(caption) << "\"";
}

void TestedProgram::pointAtWindow() const
{
    RECT frame{};
    GetWindowRect(m_window, &frame);
    SetCursorPos((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
}

std::wstring TestedProgram::pointer() const
{
    return replyWindow().ask(m_window, InspectPointer);
}

std::wstring TestedProgram::barItem(std::size_t n, bool* greyed) const
{
    std::vector<MenuItem> bar;
    for (const MenuItem& item : menu()) {
        if (item.depth == 0)
            bar.push_back(item);
    }
    if (n >= bar.size())
        return L"(no item " + std::to_wstring(n) + L" on the bar)";
    if (greyed)
        *greyed = bar[n].greyed;
    return bar[n].caption;
}

std::wstring TestedProgram::generate(const std::wstring& command)
{
    choose(command);
    // The hook's question waits in the queue behind the command, so once it is answered the
    // command has begun: the box then holds "" or words each followed by a space until its end.
    menu();
    std::wstring phrase;
    pollUntil<std::wstring>([&] { return phrase = this->phrase(), barItem(3); },
                            [&](const std::wstring& counter) {
                                return !phrase.empty() && phrase.back() != L' ' &&
                                       counter == L"Charaters  " + std::to_wstring(phrase.size());
                            });
    return phrase;
}

std::wstring TestedProgram::waitForPhrase(const std::wstring& expected)
{
    return pollUntil<std::wstring>([&] { return phrase(); }, [&](const std::wstring& now) { return now == expected; });
}

std::optional<MessageBoxSeen> TestedProgram::waitForMessageBox(std::chrono::milliseconds limit) const
{
    const auto boxes = pollUntil<std::vector<HWND>>(
        [&] { return shownWindows(m_process.dwProcessId, L"#32770"); },
        [&](const std::vector<HWND>& found) { return !found.empty() || !running(); }, limit);
    if (boxes.empty())
        return std::nullopt;
    MessageBoxSeen box;
    box.window = boxes.front();
    wchar_t title[256] = L"";
    GetWindowTextW(box.window, title, 256);
    box.title = title;
    box.owner = GetWindow(box.window, GW_OWNER);
    for (HWND child : windowsUnder(box.window)) {
        if (classOf(child) == L"Button" && IsWindowVisible(child))
            box.buttons.push_back(textOf(child));
        // The message is the static control with the id 0xFFFF in every message box.
        if (GetDlgCtrlID(child) == 0xFFFF)
            box.text = textOf(child);
    }
    box.icon = replyWindow().ask(box.window, InspectIcon);
    return box;
}

void TestedProgram::pressOk(const MessageBoxSeen& box)
{
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    pollUntil<bool>([&] { return IsWindow(box.window) != FALSE; }, [](bool there) { return !there; });
}
