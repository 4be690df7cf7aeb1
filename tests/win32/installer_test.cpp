// SPDX-License-Identifier: MIT
// The installer as a user meets it, silently: /S installs for the current user without asking,
// the Start menu shortcut starts the program, Apps lists it, and the uninstaller, also with /S,
// takes away what was installed and nothing else.
#include "win32_driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace {

const wchar_t UninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lexitrove";

std::wstring knownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    SHGetKnownFolderPath(id, 0, nullptr, &path);
    std::wstring result = path ? path : L"";
    CoTaskMemFree(path);
    return result;
}

std::wstring installFolder()
{
    return knownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Lexitrove";
}

std::wstring shortcut()
{
    return knownFolder(FOLDERID_Programs) + L"\\Lexitrove.lnk";
}

// A value of the uninstall entry: its text, or a DWORD as decimal; nullopt when missing.
std::optional<std::wstring> uninstallValue(const wchar_t* name)
{
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegGetValueW(HKEY_CURRENT_USER, UninstallKey, name, RRF_RT_REG_DWORD, nullptr, &number, &size) == ERROR_SUCCESS)
        return std::to_wstring(number);
    wchar_t text[1024] = L"";
    size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, UninstallKey, name, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS)
        return std::wstring(text);
    return std::nullopt;
}

bool entryExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, UninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::set<std::wstring> filesIn(const std::wstring& folder)
{
    std::set<std::wstring> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.insert(entry.path().filename().wstring());
    return names;
}

// Runs a command line and returns its exit status.
DWORD run(std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "could not run " << toUtf8(commandLine);
        return DWORD(-1);
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD status = DWORD(-1);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

struct UninstallCase : Row
{
    std::vector<std::wstring> filesOfTheUser; // put into the folder after the install
};

class Installer : public testing::TestWithParam<UninstallCase>
{
protected:
    void SetUp() override
    {
        if (settings().installer.empty())
            GTEST_SKIP() << "no --installer given";
        ASSERT_FALSE(std::filesystem::exists(installFolder())) << "Lexitrove is installed already";
        ASSERT_FALSE(entryExists()) << "an uninstall entry is there already";
    }
};

TEST_P(Installer, InstallsSilentlyStartsFromTheShortcutAndUninstallsWhatItInstalled)
{
    const UninstallCase& c = GetParam();
    ASSERT_EQ(run(L"\"" + settings().installer + L"\" /S"), 0u) << "the installer's exit status";
    const std::wstring folder = installFolder();
    EXPECT_EQ(filesIn(folder),
              (std::set<std::wstring>{L"lexitrove.exe", L"Words.TxT", L"LICENSE.txt", L"NOTICE.txt", L"uninstall.exe"}));
    EXPECT_EQ(uninstallValue(L"DisplayName").value_or(L"(none)"), L"Lexitrove");
    EXPECT_EQ(uninstallValue(L"DisplayVersion").value_or(L"(none)"), settings().version);
    EXPECT_EQ(uninstallValue(L"Publisher").value_or(L"(none)"), L"The Lexitrove developers");
    EXPECT_EQ(uninstallValue(L"DisplayIcon").value_or(L"(none)"), folder + L"\\lexitrove.exe,0");
    EXPECT_EQ(uninstallValue(L"InstallLocation").value_or(L"(none)"), folder);
    EXPECT_EQ(uninstallValue(L"QuietUninstallString").value_or(L"(none)"), L"\"" + folder + L"\\uninstall.exe\" /S");
    EXPECT_EQ(uninstallValue(L"NoModify").value_or(L"(none)"), L"1");
    // Apps shows the size in KB: the program and its list come to well over 100 KB.
    EXPECT_GT(std::stol(uninstallValue(L"EstimatedSize").value_or(L"0")), 100);

    {
        TestedProgram program = TestedProgram::fromShortcut(shortcut(), folder + L"\\lexitrove.exe");
        program.waitForWindow();
        EXPECT_EQ(splitWords(program.generate(L"Words (03)")).size(), 3u) << "a phrase from the installed list";
        PostMessageW(program.window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(program.waitForExit(), 0);
    }

    for (const auto& name : c.filesOfTheUser)
        std::ofstream(std::filesystem::path(folder) / name) << "the user's own\n";
    // It returns at once, having started a copy of itself that does the work.
    EXPECT_EQ(run(uninstallValue(L"QuietUninstallString").value_or(L"")), 0u) << "the uninstaller's exit status";
    // Its last step is the uninstall entry.
    pollUntil<bool>(entryExists, [](bool there) { return !there; });
    const std::set<std::wstring> kept(c.filesOfTheUser.begin(), c.filesOfTheUser.end());
    EXPECT_EQ(filesIn(folder), kept) << "what the uninstaller left in the folder";
    EXPECT_EQ(std::filesystem::exists(folder), !kept.empty()) << "the folder itself";
    EXPECT_FALSE(std::filesystem::exists(shortcut())) << "the Start menu shortcut";
    EXPECT_FALSE(entryExists()) << "the uninstall entry";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

INSTANTIATE_TEST_SUITE_P(Rows, Installer,
                         testing::Values(UninstallCase{{"nothing_else"}, {}},
                                         UninstallCase{{"a_file_of_the_users"}, {L"my words.txt"}}),
                         RowName());

} // namespace
