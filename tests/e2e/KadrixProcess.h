#pragma once
// Starts Kadrix.exe from the build folder and ends it (by its process
// handle) when the test is over, whatever the test's outcome.
#include "win32/Handles_win.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class TKadrixProcess {
public:
    // Starts the exe in exeDir (beside the driver unless told), there as its
    // current folder; throws when it can't.
    explicit TKadrixProcess(const std::wstring& args = L"", const std::wstring& exeDir = L"");
    TKadrixProcess(const TKadrixProcess&) = delete;
    TKadrixProcess& operator=(const TKadrixProcess&) = delete;
    ~TKadrixProcess();

    DWORD Pid() const { return FPid; }
    HANDLE Process() const { return FProcess.get(); }
    bool Running() const;
    // True when the process ended within the timeout; its exit code in *code.
    bool WaitExit(std::chrono::milliseconds timeout, DWORD* code = nullptr) const;
    // The main (tray) window once it exists, or null after the timeout.
    HWND WaitMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;
    // Top-level windows of this process.
    std::vector<HWND> Windows() const;
    HWND FindWindowOfClass(const wchar_t* className) const;
    // The text of the notification shown now; empty when none is.
    std::wstring NotificationText() const;
    void Kill();

private:
    unique_handle FProcess;
    unique_handle FThread;
    DWORD FPid = 0;
};

std::wstring BuildDir();
// An environment variable (scripts/test.sh passes Wine paths and addresses); empty when unset.
std::wstring EnvVar(const wchar_t* name);
// Something scripts/test.sh provides (the upload service, the mounts, the
// two-monitor display): without it a test skips on a developer's machine but
// fails when CI is set, so CI never passes with a part untested.
#define KADRIX_REQUIRE(cond, why)                                                                  \
    if (!(cond)) {                                                                                 \
        if (!EnvVar(L"CI").empty()) FAIL() << why << " (required when CI is set)";                 \
        GTEST_SKIP() << why;                                                                       \
    }
// How long a test waits to show that an input did nothing: Kadrix answers a
// hotkey or a chord with its overlay within about 100 ms even on a loaded
// machine (the key-to-pixel figures), so 500 ms leaves ample margin.
inline constexpr std::chrono::milliseconds NothingHappensWithin{500};
// Polls pred every 20 ms until it holds or the timeout passes.
bool WaitUntil(const std::function<bool()>& pred,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Registry helpers for the settings key of the program under test.
extern const wchar_t* const TestSettingsKey;
void ResetSettingsKey();
void SetDword(const wchar_t* name, DWORD value);
void SetString(const wchar_t* name, const std::wstring& value);
void SetBinary(const wchar_t* name, const std::vector<BYTE>& data);
bool ValueExists(const wchar_t* key, const wchar_t* name);
// The offer after the first copy and the survey after the third would cover
// the screen: survey answered, offer due in the year 9999.
void NoCompanionWindows();

// Input through SendInput, as a user would give it.
void SendKey(WORD vk, bool up);
void TapKey(WORD vk, std::initializer_list<WORD> modifiers = {});
void SendMouseButton(DWORD flag);
void MoveMouseTo(int x, int y);
