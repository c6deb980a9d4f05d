// Settings read from a hand-edited or damaged key: every value the program
// reads may be missing, of another type, a string of any length or a binary
// of any size. Loading never raises; a value of the wrong type leaves the
// default; what was loaded survives a save and a second load unchanged.
#include "FuzzCheck.h"
#include "settings/SettingsUnit.h"
#include "unit/fakes/MemoryRegistry.h"
#include "update/ActionUpdates.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>

namespace {
constexpr const wchar_t* Names[] = {
    L"pencolor",     L"wincolor", L"path",     L"showcursor",  L"playsound", L"hkAllScreen",
    L"hkAreaScreen", L"hkWindow", L"TwoMouse", L"Server",      L"SaveLocal", L"format",
    L"ShowRedact",   L"OpenURL",  L"lastpath", L"CheckUpdates"};

TRegValue RandomValue(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return TRegValue::OfDword(in.ConsumeIntegral<std::uint32_t>());
    case 1: {
        // REG_SZ bytes of any length, read as the OS layer does: whole
        // two-byte units, up to the first NUL.
        const auto bytes = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 80));
        std::wstring s;
        for (std::size_t i = 0; i + 1 < bytes.size() && (bytes[i] | bytes[i + 1]); i += 2)
            s += wchar_t(bytes[i] | bytes[i + 1] << 8);
        return TRegValue::OfString(s);
    }
    case 2:
        return TRegValue::OfBinary(in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 12)));
    default:
        return TRegValue::OfOther();
    }
}

std::optional<std::uint32_t> DwordOf(const TMemoryRegistry& reg, const wchar_t* name) {
    const auto v = reg.Get(SettingsKey, name);
    return v && v->Kind == TRegValue::TKind::Dword ? std::optional(v->Dword) : std::nullopt;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    TMemoryRegistry reg;
    reg.Keys[std::wstring(SettingsKey)];
    for (const wchar_t* name : Names)
        if (in.ConsumeBool()) reg.Put(SettingsKey, name, RandomValue(in));

    const TSettings defaults;
    TSettings loaded;
    InitSettings(reg, loaded, L"C:\\Pictures\\Kadrix\\");
    FUZZ_CHECK(!loaded.path.empty() && loaded.path.back() == L'\\');
    if (const auto v = reg.Get(SettingsKey, L"path");
        v && v->Kind == TRegValue::TKind::String && !v->String.empty())
        FUZZ_CHECK(loaded.path.starts_with(v->String) &&
                   loaded.path.size() - v->String.size() <= 1);
    const auto boolean = [&](const wchar_t* name, bool field, bool fallback) {
        const auto v = DwordOf(reg, name);
        FUZZ_CHECK(field == (v ? *v != 0 : fallback));
    };
    boolean(L"showcursor", loaded.showcursor, defaults.showcursor);
    boolean(L"playsound", loaded.playsound, defaults.playsound);
    boolean(L"TwoMouse", loaded.TwoMouse, defaults.TwoMouse);
    boolean(L"Server", loaded.Server, defaults.Server);
    boolean(L"SaveLocal", loaded.SaveLocal, defaults.SaveLocal);
    boolean(L"ShowRedact", loaded.ShowRedact, defaults.ShowRedact);
    boolean(L"OpenURL", loaded.OpenURL, defaults.OpenURL);
    FUZZ_CHECK(loaded.format == std::int32_t(DwordOf(reg, L"format").value_or(defaults.format)));
    FUZZ_CHECK(loaded.hkWindow == (DwordOf(reg, L"hkWindow").value_or(defaults.hkWindow) & 0xFFFF));

    // Saved and loaded again: the same record.
    TMemoryRegistry copy;
    copy.Keys[std::wstring(RunKey)];
    SaveRegSettings(copy, loaded, L"Kadrix.exe", L"C:\\Kadrix\\Kadrix.exe");
    TSettings again;
    InitSettings(copy, again, L"D:\\elsewhere\\");
    again.lastpath = loaded.lastpath; // written by the save-as flow only
    FUZZ_CHECK(again == loaded);

    // The update stamp: any stored bytes give a finite date or none.
    const TDate date = ReadRegDate(reg, CheckUpdatesValue);
    FUZZ_CHECK(std::isfinite(date));
    const auto stored = reg.Get(SettingsKey, CheckUpdatesValue);
    const bool eightBytes =
        stored && stored->Kind == TRegValue::TKind::Binary && stored->Binary.size() == 8;
    if (!eightBytes) FUZZ_CHECK(date == 0);
    const TDate now = in.ConsumeFloatingPoint<double>();
    if (std::isfinite(now)) {
        const bool due = UpdateCheckDue(reg, now);
        if (!eightBytes) FUZZ_CHECK(due);
        if (date != 0 && std::isfinite(now - date))
            FUZZ_CHECK(due == (std::fabs(now - date) >= CheckUpdatesEveryDays));
        // A stamp written now is read back exactly and is not due.
        WriteRegDate(reg, CheckUpdatesValue, now);
        FUZZ_CHECK(ReadRegDate(reg, CheckUpdatesValue) == now && !UpdateCheckDue(reg, now));
    }
    return 0;
}
