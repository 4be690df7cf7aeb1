// SPDX-License-Identifier: MIT
// The program's folder on Windows: the module's own path, any length, with links resolved.
#include "system/program_folder.h"

#include <windows.h>

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

namespace {

// GetModuleFileNameW cuts a path that does not fit and says so only through the length it
// returns, so the buffer grows until the whole path fits: past MAX_PATH, a folder with a long
// name or deep in a tree is as good as any.
std::wstring modulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) // the longest path Windows has
            return {};
        path.resize(path.size() * 2);
    }
}

// The path with every symbolic link and junction on the way resolved, as Linux's
// /proc/self/exe gives it, so that a link to the program finds the word list beside the real
// one. The system answers in its \\?\ form, which is taken off again: the program joins
// "/Words.TxT" to the folder, and the file is opened through that form where it must be.
std::wstring finalPath(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return path;
    std::wstring resolved(path.size() + 64, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, resolved.data(), DWORD(resolved.size()), VOLUME_NAME_DOS);
    if (length >= resolved.size()) {
        resolved.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, resolved.data(), DWORD(resolved.size()), VOLUME_NAME_DOS);
    }
    CloseHandle(file);
    if (length == 0 || length >= resolved.size())
        return path;
    resolved.resize(length);
    if (resolved.starts_with(L"\\\\?\\UNC\\"))
        return L"\\\\" + resolved.substr(8);
    if (resolved.starts_with(L"\\\\?\\"))
        return resolved.substr(4);
    return resolved;
}

} // namespace

std::u16string programFolder()
{
    const std::wstring path = modulePath();
    if (path.empty())
        return {};
    const std::wstring file = finalPath(path);
    const std::size_t separator = file.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return {};
    const std::wstring folder = file.substr(0, separator);
    return {reinterpret_cast<const char16_t*>(folder.data()), folder.size()};
}
