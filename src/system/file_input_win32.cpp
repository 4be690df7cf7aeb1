// SPDX-License-Identifier: MIT
// Word-list files on Windows: opened for reading beside any other reader or writer, refused
// before a read could block, closed whatever happens.
#include "system/file_input.h"

#include "system/system_error_win32.h"

#include <windows.h>

#include <algorithm>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

namespace {

class Win32InputFile final : public InputFile
{
public:
    explicit Win32InputFile(HANDLE file)
        : m_file(file)
    {}
    ~Win32InputFile() override { CloseHandle(m_file); }
    Win32InputFile(const Win32InputFile&) = delete;
    Win32InputFile& operator=(const Win32InputFile&) = delete;

    std::int64_t read(char* data, std::int64_t maxSize) override
    {
        const DWORD wanted = DWORD(std::min<std::int64_t>(maxSize, 1 << 30));
        DWORD got = 0;
        if (!ReadFile(m_file, data, wanted, &got, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF)
                return 0;
            throw PlatformError{ErrorNumber::DeviceIo, windowsErrorText(error)};
        }
        return got;
    }

private:
    HANDLE m_file;
};

// The path as CreateFileW takes it: backslashes, and the \\?\ form once it is too long for the
// classic limit, so that a folder deep in a tree or with long names still finds its list.
std::wstring systemPath(const std::u16string& path)
{
    std::wstring wide(path.begin(), path.end());
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    if (wide.size() < MAX_PATH - 1 || wide.starts_with(L"\\\\?\\") || wide.starts_with(L"\\\\.\\"))
        return wide;
    if (wide.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + wide.substr(2);
    if (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\')
        return L"\\\\?\\" + wide;
    return wide;
}

bool isFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The error numbers of the POSIX version: the same failure reads the same on both systems.
[[noreturn]] void throwOpenError(DWORD error, const std::wstring& path)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: throw PlatformError{ErrorNumber::FileNotFound, windowsErrorText(error)};
    case ERROR_ACCESS_DENIED:
        // Windows refuses to open a folder as a file with the same code as a file it may not read.
        if (isFolder(path))
            throw PlatformError{ErrorNumber::PathFileAccess, u"Is a directory"};
        [[fallthrough]];
    case ERROR_SHARING_VIOLATION: // another program has it open and shares no reading
    case ERROR_LOCK_VIOLATION: throw PlatformError{ErrorNumber::PermissionDenied, windowsErrorText(error)};
    default: throw PlatformError{ErrorNumber::PathFileAccess, windowsErrorText(error)};
    }
}

} // namespace

std::unique_ptr<InputFile> openFileForInput(const std::u16string& path)
{
    const std::wstring name = systemPath(path);
    // Others may read, write, rename and delete it meanwhile, as on Linux: the program never
    // stands in the way of the user's editor.
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throwOpenError(GetLastError(), name);
    // A pipe or a device (CON, NUL, COM1, a named pipe) would make a read wait for a writer or
    // never end: refused before anything is read.
    const DWORD type = GetFileType(file);
    if (type != FILE_TYPE_DISK) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        std::u16string reason = u"Not a regular file";
        if (type == FILE_TYPE_PIPE)
            reason = u"Is a pipe, not a file";
        else if (type == FILE_TYPE_UNKNOWN && error != NO_ERROR)
            reason = windowsErrorText(error);
        throw PlatformError{ErrorNumber::PathFileAccess, reason};
    }
    return std::make_unique<Win32InputFile>(file);
}
