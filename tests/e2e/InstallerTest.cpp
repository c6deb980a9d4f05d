// The shipped artefacts: the per-user installer (silent install, install over
// a running copy, silent uninstall) and the portable folder. scripts/test.sh
// builds them and passes their paths; without those the tests skip.
#include "KadrixProcess.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {
constexpr wchar_t UninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kadrix";
constexpr wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring Env(const wchar_t* name) {
    const wchar_t* v = _wgetenv(name);
    return v ? v : L"";
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) result = path;
    ::CoTaskMemFree(path);
    return result;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ReadString(const wchar_t* key, const wchar_t* name) {
    wchar_t buf[1024];
    DWORD size = sizeof buf;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return L"<none>";
    return buf;
}

// Runs a program to its end; its exit code, or -1 when it could not start
// or did not end in time.
long RunToEnd(const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi)) {
        ADD_FAILURE() << "cannot start it, error " << ::GetLastError();
        return -1;
    }
    unique_handle process(pi.hProcess), thread(pi.hThread);
    if (::WaitForSingleObject(process.get(), 120000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<long>(code);
}

HWND TrayWindow() {
    return ::FindWindowW(L"TOrvik_Kadrix_MainForm", L"Orvik_Kadrix_MainForm");
}

unique_handle ProcessOf(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    return unique_handle(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
}
} // namespace

TEST(Installer, InstallsReplacesARunningCopyAndUninstalls) {
    const std::wstring setup = Env(L"KADRIX_TEST_SETUP");
    KADRIX_REQUIRE(!setup.empty(), "KADRIX_TEST_SETUP not set");
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Wine has no per-user programs folder; the installer then uses the
    // same fallback as older Windows.
    std::wstring programs = KnownFolder(FOLDERID_UserProgramFiles);
    if (programs.empty()) programs = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs";
    const std::wstring dir = programs + L"\\Kadrix";
    const std::wstring shortcut = KnownFolder(FOLDERID_Programs) + L"\\Kadrix.lnk";
    const std::wstring url = L"https://shots.example.test";

    ASSERT_EQ(RunToEnd(setup, L"/S /SERVICEURL=\"" + url + L"\""), 0);
    const auto finished = std::chrono::steady_clock::now();
    for (const wchar_t* file : {L"Kadrix.exe", L"screenshoot.wav", L"NOTICES.txt",
                                L"Fonts\\Roboto-Regular.ttf", L"Uninstall.exe"})
        EXPECT_TRUE(Exists(dir + L"\\" + file)) << file;
    EXPECT_TRUE(Exists(shortcut));
    EXPECT_EQ(ReadString(UninstallKey, L"DisplayName"), L"Kadrix");
    EXPECT_EQ(ReadString(UninstallKey, L"DisplayVersion"), L"2.15");
    EXPECT_EQ(ReadString(UninstallKey, L"UninstallString"), L"\"" + dir + L"\\Uninstall.exe\"");
    EXPECT_EQ(ReadString(TestSettingsKey, L"ServiceUrl"), url);

    // The installer starts what it installed, with its welcome.
    ASSERT_TRUE(WaitUntil([] { return TrayWindow() != nullptr; }, std::chrono::seconds(20)));
    std::printf(
        "installer finished to tray window: %.0f ms\n",
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - finished)
            .count());
    unique_handle first = ProcessOf(TrayWindow());
    ASSERT_TRUE(first);
    EXPECT_TRUE(WaitUntil(
        [] {
            HWND w = ::FindWindowW(L"TWelcomForm", nullptr);
            return w && ::IsWindowVisible(w);
        },
        std::chrono::seconds(10)));

    // Installing again closes the running copy first, and succeeds.
    ASSERT_EQ(RunToEnd(setup, L"/S /NORUN"), 0);
    EXPECT_EQ(::WaitForSingleObject(first.get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(Exists(dir + L"\\Kadrix.exe"));

    // What the uninstaller must take away, and a screenshot it must leave.
    {
        HKEY run = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, RunKey, 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &run, nullptr),
                  ERROR_SUCCESS);
        const std::wstring exe = dir + L"\\Kadrix.exe";
        ::RegSetValueExW(run, L"Kadrix", 0, REG_SZ, reinterpret_cast<const BYTE*>(exe.c_str()),
                         static_cast<DWORD>((exe.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(run);
    }
    const std::wstring shots = KnownFolder(FOLDERID_Pictures) + L"\\Kadrix";
    ::CreateDirectoryW(shots.c_str(), nullptr);
    const std::wstring shot = shots + L"\\kept.png";
    std::ofstream(std::filesystem::path(shot)) << "picture";
    TKadrixProcess running; // the uninstaller closes it too
    ASSERT_TRUE(running.WaitMainWindow());

    // The uninstaller copies itself away and returns at once: wait for its
    // work, each part of it as it is done (the folder goes before the keys).
    ASSERT_EQ(RunToEnd(dir + L"\\Uninstall.exe", L"/S"), 0);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(dir); }, std::chrono::seconds(30)));
    EXPECT_TRUE(running.WaitExit(std::chrono::seconds(15)));
    EXPECT_TRUE(WaitUntil([&] { return !Exists(shortcut); }));
    EXPECT_TRUE(WaitUntil([&] { return ReadString(UninstallKey, L"DisplayName") == L"<none>"; }))
        << "the uninstall entry stays";
    EXPECT_TRUE(WaitUntil([&] { return !ValueExists(RunKey, L"Kadrix"); }));
    EXPECT_TRUE(Exists(shot));
    // Silently, the settings stay (the question's default answer is no).
    EXPECT_EQ(ReadString(TestSettingsKey, L"ServiceUrl"), url);
    ::DeleteFileW(shot.c_str());
    ResetSettingsKey();
    ::CoUninitialize();
}

TEST(Installer, PortableFolderRunsFromAnywhere) {
    const std::wstring folder = Env(L"KADRIX_TEST_PORTABLE");
    KADRIX_REQUIRE(!folder.empty(), "KADRIX_TEST_PORTABLE not set");
    const std::wstring exe = folder + L"\\Kadrix.exe";
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // Started with another current folder: the fonts are found beside the exe.
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 L"C:\\", &si, &pi));
    unique_handle process(pi.hProcess), thread(pi.hThread);
    EXPECT_TRUE(WaitUntil([] { return TrayWindow() != nullptr; }, std::chrono::seconds(20)));
    // A clean exit on WM_CLOSE, as the installer relies on.
    ::PostMessageW(TrayWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(process.get(), 15000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    if (::WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0)
        ::TerminateProcess(process.get(), 99);
}
