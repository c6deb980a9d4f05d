#include "app/CrashReport.h"

#include <algorithm>
#include <functional>

namespace {
constexpr std::wstring_view DumpPrefix = L"Kadrix_";
constexpr std::wstring_view DumpSuffix = L".dmp";

bool IsDumpName(std::wstring_view name) {
    return name.size() > DumpPrefix.size() + DumpSuffix.size() && name.starts_with(DumpPrefix) &&
           name.ends_with(DumpSuffix);
}

bool IsCutWrite(std::wstring_view name) {
    return name.ends_with(CrashPartSuffix) &&
           IsDumpName(name.substr(0, name.size() - CrashPartSuffix.size()));
}
} // namespace

std::size_t FormatCrashDumpName(const TCrashTime& time, unsigned long pid,
                                std::span<wchar_t> out) noexcept {
    std::size_t at = 0;
    bool fits = true;
    const auto put = [&](wchar_t c) {
        if (at + 1 < out.size())
            out[at++] = c;
        else
            fits = false;
    };
    const auto text = [&](std::wstring_view s) {
        for (wchar_t c : s)
            put(c);
    };
    const auto number = [&](unsigned long v, int digits) {
        wchar_t buf[20];
        int n = 0;
        do {
            buf[n++] = wchar_t(L'0' + v % 10);
            v /= 10;
        } while (v != 0 && n < 20);
        for (int i = n; i < digits; ++i)
            put(L'0');
        while (n > 0)
            put(buf[--n]);
    };
    text(DumpPrefix);
    const struct {
        unsigned long Value;
        int Digits;
        wchar_t After;
    } fields[] = {{time.Year, 4, L'-'}, {time.Month, 2, L'-'},  {time.Day, 2, L'_'},
                  {time.Hour, 2, L'.'}, {time.Minute, 2, L'.'}, {time.Second, 2, L'_'},
                  {pid, 1, 0}};
    for (const auto& f : fields) {
        number(f.Value, f.Digits);
        if (f.After) put(f.After);
    }
    text(DumpSuffix);
    if (!fits || out.empty()) {
        if (!out.empty()) out[0] = 0;
        return 0;
    }
    out[at] = 0;
    return at;
}

TCrashStartPlan PlanCrashStart(const std::vector<std::wstring>& files,
                               const std::vector<std::wstring>& told) {
    TCrashStartPlan plan;
    std::vector<std::wstring> dumps;
    for (const auto& name : files) {
        if (IsDumpName(name))
            dumps.push_back(name);
        else if (IsCutWrite(name))
            plan.Remove.push_back(name);
    }
    std::sort(dumps.begin(), dumps.end(), std::greater<>());
    if (dumps.size() > CrashReportsKept) {
        plan.Remove.insert(plan.Remove.end(), dumps.begin() + CrashReportsKept, dumps.end());
        dumps.resize(CrashReportsKept);
    }
    // Several crashes since the last start are told once, by the newest.
    for (const auto& name : dumps)
        if (std::find(told.begin(), told.end(), name) == told.end()) {
            plan.Tell = name;
            break;
        }
    plan.Told = std::move(dumps);
    return plan;
}

std::vector<std::wstring> ParseToldList(std::string_view text) {
    std::vector<std::wstring> names;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.ends_with('\r')) line.remove_suffix(1);
        std::wstring name(line.begin(), line.end());
        // Dump names are ASCII; anything else is no name of ours.
        if (std::all_of(line.begin(), line.end(), [](char c) { return c > 0x20 && c < 0x7F; }) &&
            IsDumpName(name))
            names.push_back(std::move(name));
    }
    return names;
}

std::string FormatToldList(const std::vector<std::wstring>& names) {
    std::string text;
    for (const auto& name : names) {
        for (wchar_t c : name)
            text += char(c);
        text += "\r\n";
    }
    return text;
}
