#include "KadrixProcess.h"

#include <bit>
#include <cstdint>
#include <stdexcept>
#include <thread>

const wchar_t* const TestSettingsKey = L"Software\\Orvik Software\\Kadrix";

std::wstring BuildDir() {
    wchar_t buf[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::wstring path(buf, n);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // The driver's own windows (pattern windows, stand-ins) stay responsive.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        if (pred()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TKadrixProcess::TKadrixProcess(const std::wstring& args, const std::wstring& exeDir) {
    const std::wstring dir = exeDir.empty() ? BuildDir() : exeDir;
    const std::wstring exe = dir + L"Kadrix.exe";
    std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                          &si, &pi))
        throw std::runtime_error("cannot start Kadrix.exe");
    FProcess.reset(pi.hProcess);
    FThread.reset(pi.hThread);
    FPid = pi.dwProcessId;
}

TKadrixProcess::~TKadrixProcess() {
    Kill();
}

void TKadrixProcess::Kill() {
    if (FProcess && Running()) {
        ::TerminateProcess(FProcess.get(), 99);
        ::WaitForSingleObject(FProcess.get(), 5000);
    }
}

bool TKadrixProcess::Running() const {
    return FProcess && ::WaitForSingleObject(FProcess.get(), 0) == WAIT_TIMEOUT;
}

bool TKadrixProcess::WaitExit(std::chrono::milliseconds timeout, DWORD* code) const {
    if (::WaitForSingleObject(FProcess.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return false;
    if (code) ::GetExitCodeProcess(FProcess.get(), code);
    return true;
}

std::vector<HWND> TKadrixProcess::Windows() const {
    struct TCtx {
        DWORD Pid;
        std::vector<HWND> Found;
    } ctx{FPid, {}};
    ::EnumWindows(
        [](HWND wnd, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<TCtx*>(lp);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(wnd, &pid);
            if (pid == c->Pid) c->Found.push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.Found;
}

HWND TKadrixProcess::FindWindowOfClass(const wchar_t* className) const {
    for (HWND wnd : Windows()) {
        wchar_t buf[256];
        if (::GetClassNameW(wnd, buf, 256) && std::wstring(buf) == className) return wnd;
    }
    return nullptr;
}

HWND TKadrixProcess::WaitMainWindow(std::chrono::milliseconds timeout) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindWindowOfClass(L"TOrvik_Kadrix_MainForm");
            return found != nullptr || !Running();
        },
        timeout);
    // The hotkeys and the hook exist once start-up reaches the message loop.
    if (found) ::WaitForInputIdle(FProcess.get(), 5000);
    return found;
}

void ResetSettingsKey() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, TestSettingsKey);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                         L"Kadrix");
}

namespace {
void SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, TestSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the settings key");
    unique_hkey owner(key);
    if (::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write a value");
}
} // namespace

void SetDword(const wchar_t* name, DWORD value) {
    SetValue(name, REG_DWORD, &value, sizeof value);
}
void SetString(const wchar_t* name, const std::wstring& value) {
    SetValue(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}
void SetBinary(const wchar_t* name, const std::vector<BYTE>& data) {
    SetValue(name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
}

bool ValueExists(const wchar_t* key, const wchar_t* name) {
    return ::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof in);
}

void TapKey(WORD vk, std::initializer_list<WORD> modifiers) {
    for (WORD m : modifiers)
        SendKey(m, false);
    SendKey(vk, false);
    SendKey(vk, true);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        SendKey(*it, true);
}

void SendMouseButton(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    ::SendInput(1, &in, sizeof in);
}

void MoveMouseTo(int x, int y) {
    // Absolute coordinates are in 1/65536 of the primary screen; round up so
    // the system's truncation lands on the wanted pixel.
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65536 + w - 1) / w);
    in.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65536 + h - 1) / h);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
}

std::wstring EnvVar(const wchar_t* name) {
    wchar_t buf[4096];
    const DWORD n = ::GetEnvironmentVariableW(name, buf, 4096);
    return n > 0 && n < 4096 ? std::wstring(buf, n) : std::wstring();
}

void NoCompanionWindows() {
    SetDword(L"SurveySeeSite", 1);
    const auto date = std::bit_cast<std::uint64_t>(2958465.0); // 31.12.9999
    std::vector<BYTE> bytes;
    for (int i = 0; i < 8; ++i)
        bytes.push_back(BYTE(date >> (8 * i)));
    SetBinary(L"ShowOffer", bytes);
}

std::wstring TKadrixProcess::NotificationText() const {
    HWND hint = FindWindowOfClass(L"TBHintForm");
    wchar_t buf[1024] = {};
    if (!hint || !::IsWindowVisible(hint)) return {};
    ::GetWindowTextW(hint, buf, 1024);
    return buf;
}
