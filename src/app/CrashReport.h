#pragma once
// Crash reports: how a dump is named, which dumps stay in the folder and
// what the next start tells. The names sort by time, so "newest" is the
// greatest name.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t CrashReportsKept = 5;
// The folder under the user's local application data.
inline constexpr std::wstring_view CrashFolderName = L"Kadrix\\crashes";
// Beside the dumps: the names already told, one a line.
inline constexpr std::wstring_view CrashToldFileName = L"told.txt";
// A dump is written under this suffix and renamed when complete.
inline constexpr std::wstring_view CrashPartSuffix = L".part";

struct TCrashTime {
    unsigned Year, Month, Day, Hour, Minute, Second;
};

// "Kadrix_2025-03-07_14.05.09_1234.dmp" into out, without allocating: the
// crashed process may hold the heap's lock. Returns the length written
// (a terminating zero follows), 0 when out is too short.
std::size_t FormatCrashDumpName(const TCrashTime& time, unsigned long pid,
                                std::span<wchar_t> out) noexcept;

struct TCrashStartPlan {
    std::vector<std::wstring> Remove; // older dumps past the kept ones, cut writes
    std::wstring Tell;                // the newest dump not told yet; empty when none
    std::vector<std::wstring> Told;   // the told list from now on
};

// files: the names in the crash folder; told: the told list as read.
TCrashStartPlan PlanCrashStart(const std::vector<std::wstring>& files,
                               const std::vector<std::wstring>& told);

// Told at the next start. The folder as the shell spells it: exact for every
// user, short enough for one line of the notification.
inline constexpr std::wstring_view CrashNotice =
    L"Kadrix неожиданно закрылся.\r\nОтчет о сбое сохранен в папке:\r\n"
    L"%LOCALAPPDATA%\\Kadrix\\crashes";

std::vector<std::wstring> ParseToldList(std::string_view text);
std::string FormatToldList(const std::vector<std::wstring>& names);
