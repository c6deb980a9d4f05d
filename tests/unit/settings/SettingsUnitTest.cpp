#include "settings/SettingsUnit.h"

#include "unit/fakes/MemoryRegistry.h"

#include <gtest/gtest.h>

namespace {
using TOp = TMemoryRegistry::TOp;
constexpr std::wstring_view DefaultPath = L"D:\\Pictures\\Kadrix\\";
constexpr std::wstring_view ExePath = L"C:\\Program Files\\Kadrix\\Kadrix.exe";
// The Run value as written: quoted, the path holds a blank.
constexpr std::wstring_view Quoted = L"\"C:\\Program Files\\Kadrix\\Kadrix.exe\"";

TRegValue Dw(std::uint32_t v) {
    return TRegValue::OfDword(v);
}
TRegValue Str(std::wstring_view v) {
    return TRegValue::OfString(v);
}

TSettings Loaded(TMemoryRegistry& registry) {
    TSettings settings;
    settings.hkWindow = 0; // proves InitSettings restores every default
    InitSettings(registry, settings, DefaultPath);
    return settings;
}

TSettings Defaults() {
    TSettings expected;
    expected.path = DefaultPath;
    return expected;
}

TEST(SettingsLoad, NoKeyGivesDefaultsAndWritesNothing) {
    TMemoryRegistry registry;
    const auto settings = Loaded(registry);
    EXPECT_EQ(settings, Defaults());
    EXPECT_EQ(settings.penwidth, 5);
    EXPECT_EQ(settings.pencolor, 0xFFFF0000u);
    EXPECT_EQ(settings.wincolor, 255);
    EXPECT_FALSE(settings.showcursor);
    EXPECT_TRUE(settings.playsound && settings.TwoMouse && settings.Server && settings.ShowRedact &&
                settings.OpenURL);
    EXPECT_FALSE(settings.SaveLocal);
    EXPECT_EQ(settings.hkAllScreen, 0x202C);
    EXPECT_EQ(settings.hkAreaScreen, 0x002C);
    EXPECT_EQ(settings.hkWindow, 0x802C);
    EXPECT_EQ(settings.format, 0);
    EXPECT_TRUE(settings.lastpath.empty());
    EXPECT_FALSE(settings.RunWinStart);

    EXPECT_TRUE(registry.Log.empty());
    EXPECT_TRUE(registry.Keys.empty());
    TSettings again;
    EXPECT_FALSE(LoadRegSettings(registry, again, DefaultPath));
}

TEST(SettingsLoad, PartialKeyKeepsDefaultsForMissingValues) {
    TMemoryRegistry registry;
    registry.Put(SettingsKey, L"format", Dw(1));
    registry.Put(SettingsKey, L"showcursor", Dw(7)); // any non-zero is true
    registry.Put(SettingsKey, L"OpenURL", Dw(0));
    registry.Put(SettingsKey, L"pencolor", Dw(0xFF00FF00));
    registry.Put(SettingsKey, L"wincolor", Dw(0x0000FF00));
    registry.Put(SettingsKey, L"lastpath", Str(L"E:\\Shots\\"));

    auto expected = Defaults();
    expected.format = 1;
    expected.showcursor = true;
    expected.OpenURL = false;
    expected.pencolor = 0xFF00FF00;
    expected.wincolor = 0x0000FF00;
    expected.lastpath = L"E:\\Shots\\";
    EXPECT_EQ(Loaded(registry), expected);
    EXPECT_TRUE(registry.Log.empty());
}

TEST(SettingsLoad, EmptyPathIsReplacedByDefaultAndStoredPathEndsWithSeparator) {
    TMemoryRegistry registry;
    registry.Put(SettingsKey, L"path", Str(L""));
    EXPECT_EQ(Loaded(registry).path, DefaultPath);

    registry.Put(SettingsKey, L"path", Str(L"E:\\Shots\\"));
    EXPECT_EQ(Loaded(registry).path, L"E:\\Shots\\");
    registry.Put(SettingsKey, L"path", Str(L"E:\\Shots"));
    EXPECT_EQ(Loaded(registry).path, L"E:\\Shots\\");
}

TEST(SettingsLoad, HotKeysKeepOnlyTheLow16Bits) {
    TMemoryRegistry registry;
    registry.Put(SettingsKey, L"hkAllScreen", Dw(0xABCD4041));
    registry.Put(SettingsKey, L"hkAreaScreen", Dw(0x00010000)); // low half is "none"
    const auto settings = Loaded(registry);
    EXPECT_EQ(settings.hkAllScreen, 0x4041);
    EXPECT_EQ(settings.hkAreaScreen, 0);
    EXPECT_EQ(settings.hkWindow, 0x802C);
}

TEST(SettingsLoad, WrongTypedValuesCountAsMissing) {
    TMemoryRegistry registry;
    registry.Put(SettingsKey, L"format", Str(L"1"));
    registry.Put(SettingsKey, L"playsound", Str(L"0"));
    registry.Put(SettingsKey, L"hkWindow", TRegValue::OfBinary(std::vector<std::uint8_t>{1, 2}));
    registry.Put(SettingsKey, L"path", Dw(3));
    registry.Put(SettingsKey, L"lastpath", TRegValue::OfOther());
    registry.Put(SettingsKey, L"Server", Dw(0)); // a good value among bad ones still loads

    auto expected = Defaults();
    expected.Server = false;
    EXPECT_EQ(Loaded(registry), expected);
}

TEST(SettingsLoad, UnopenableKeyKeepsDefaultsAndReportsFalse) {
    TMemoryRegistry registry;
    registry.Put(SettingsKey, L"format", Dw(1));
    registry.Unopenable.insert(std::wstring(SettingsKey));
    TSettings settings;
    EXPECT_FALSE(LoadRegSettings(registry, settings, DefaultPath));
    EXPECT_EQ(settings, TSettings{});

    registry.Unopenable.clear();
    EXPECT_TRUE(LoadRegSettings(registry, settings, DefaultPath));
    EXPECT_EQ(settings.format, 1);
}

TEST(SettingsLoad, RunWinStartComesFromTheRunKeyOnly) {
    TMemoryRegistry registry;
    registry.Put(SettingsKey, L"RunWinStart", Dw(1));
    EXPECT_FALSE(Loaded(registry).RunWinStart);
    registry.Put(RunKey, L"Kadrix", Str(ExePath));
    EXPECT_TRUE(Loaded(registry).RunWinStart);
}

TEST(SettingsSave, WritesEveryValueInOrderWithItsType) {
    TMemoryRegistry registry;
    registry.Keys[std::wstring(RunKey)];
    TSettings settings;
    settings.penwidth = 9;
    settings.wincolor = 0x00123456;
    settings.pencolor = 0xFF563412;
    settings.path = L"E:\\Shots\\";
    settings.showcursor = true;
    settings.format = 2;
    settings.lastpath = L"never written here";
    settings.RunWinStart = true;
    SaveRegSettings(registry, settings, L"Kadrix.exe", ExePath);

    const std::wstring key(SettingsKey);
    const std::vector<TOp> expected = {
        {key, L"pencolor", Dw(0xFF563412)},
        {key, L"wincolor", Dw(0x00123456)},
        {key, L"path", Str(L"E:\\Shots\\")},
        {key, L"showcursor", Dw(1)},
        {key, L"playsound", Dw(1)},
        {key, L"hkAllScreen", Dw(0x202C)},
        {key, L"hkAreaScreen", Dw(0x002C)},
        {key, L"hkWindow", Dw(0x802C)},
        {key, L"TwoMouse", Dw(1)},
        {key, L"Server", Dw(1)},
        {key, L"SaveLocal", Dw(0)},
        {key, L"format", Dw(2)},
        {key, L"ShowRedact", Dw(1)},
        {key, L"OpenURL", Dw(1)},
        {std::wstring(RunKey), L"Kadrix", Str(Quoted)},
    };
    EXPECT_EQ(registry.Log, expected);

    // What was saved loads back (penwidth and lastpath are not part of the save).
    auto reloaded = Loaded(registry);
    settings.penwidth = 5;
    settings.lastpath.clear();
    EXPECT_EQ(reloaded, settings);
}

TEST(SettingsSave, KeyThatCannotBeCreatedRaisesAndAppliesNoAutostart) {
    TMemoryRegistry registry;
    registry.Keys[std::wstring(RunKey)];
    registry.Uncreatable.insert(std::wstring(SettingsKey));
    TSettings settings;
    settings.RunWinStart = true;
    try {
        SaveRegSettings(registry, settings, L"Kadrix.exe", ExePath);
        FAIL() << "no exception";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Failed to create key Software\\Orvik Software\\Kadrix");
    }
    EXPECT_TRUE(registry.Log.empty());
}

TEST(SettingsSave, KeyThatCannotBeOpenedStillAppliesAutostart) {
    TMemoryRegistry registry;
    registry.Keys[std::wstring(SettingsKey)];
    registry.Keys[std::wstring(RunKey)];
    registry.Unopenable.insert(std::wstring(SettingsKey));
    TSettings settings;
    settings.RunWinStart = true;
    SaveRegSettings(registry, settings, L"Kadrix.exe", ExePath);
    const std::vector<TOp> expected = {{std::wstring(RunKey), L"Kadrix", Str(Quoted)}};
    EXPECT_EQ(registry.Log, expected);
}

TEST(SettingsSave, FailedWriteAbortsTheRestOfTheSave) {
    TMemoryRegistry registry;
    registry.Keys[std::wstring(RunKey)];
    registry.FailingWrites.insert(L"hkAllScreen");
    TSettings settings;
    settings.RunWinStart = true;
    try {
        SaveRegSettings(registry, settings, L"Kadrix.exe", ExePath);
        FAIL() << "no exception";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'hkAllScreen'");
    }
    ASSERT_EQ(registry.Log.size(), 5u);
    EXPECT_EQ(registry.Log.back().Name, L"playsound");
    EXPECT_FALSE(registry.Get(RunKey, L"Kadrix"));
}

TEST(Autostart, ValueNameFromTheExecutableFileName) {
    const struct {
        std::wstring_view FileName;
        std::wstring_view ValueName;
    } cases[] = {
        {L"Kadrix.exe", L"Kadrix"},
        {L"Shot.exe", L"Shot"},
        {L"Kadrix.exe.old", L"Kadrix"},
        // Without a lower-case ".exe" the name would be empty and address the
        // Run key's default value; the name without extension is used instead.
        {L"KADRIX.EXE", L"KADRIX"},
        {L"Kadrix", L"Kadrix"},
        {L"my.tool", L"my"},
        {L".exe", L""},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunValueNameFor(c.FileName), c.ValueName) << std::wstring(c.FileName);
}

TEST(Autostart, EnableWritesPathAndDisableDeletesEvenForeignValues) {
    TMemoryRegistry registry;
    registry.Put(RunKey, L"Kadrix", Str(L"C:\\Old place\\Kadrix.exe"));
    registry.Put(RunKey, L"Other", Str(L"other.exe"));

    SetRunWinStart(registry, true, L"Kadrix.exe", ExePath);
    EXPECT_EQ(registry.Get(RunKey, L"Kadrix"), Str(Quoted)); // updated after a move
    EXPECT_TRUE(IsRunWinStart(registry));

    SetRunWinStart(registry, false, L"Kadrix.exe", ExePath);
    EXPECT_FALSE(registry.Get(RunKey, L"Kadrix"));
    EXPECT_FALSE(IsRunWinStart(registry));
    SetRunWinStart(registry, false, L"Kadrix.exe", ExePath); // deleting again is fine
    EXPECT_TRUE(registry.Get(RunKey, L"Other"));
}

TEST(Autostart, RenamedExecutableWritesItsOwnNameButIsNotRecognised) {
    TMemoryRegistry registry;
    registry.Keys[std::wstring(RunKey)];
    SetRunWinStart(registry, true, L"Shot.exe", L"C:\\Shot.exe");
    EXPECT_EQ(registry.Get(RunKey, L"Shot"), Str(L"\"C:\\Shot.exe\""));
    EXPECT_FALSE(IsRunWinStart(registry));

    // Value names ignore case, so an upper-case file name is still ours.
    SetRunWinStart(registry, true, L"KADRIX.EXE", L"C:\\KADRIX.EXE");
    EXPECT_TRUE(IsRunWinStart(registry));
}

TEST(Autostart, NeverTouchesTheDefaultValueOrAMissingRunKey) {
    TMemoryRegistry registry;
    registry.Put(RunKey, L"", Str(L"someone else's"));
    SetRunWinStart(registry, true, L".exe", L"C:\\.exe");
    SetRunWinStart(registry, false, L".exe", L"C:\\.exe");
    EXPECT_TRUE(registry.Log.empty());

    TMemoryRegistry noRunKey;
    SetRunWinStart(noRunKey, true, L"Kadrix.exe", ExePath);
    EXPECT_TRUE(noRunKey.Keys.empty());
}

// A per-user install under "C:\Users\Anna Petrova\..." must not start
// "C:\Users\Anna.exe": the path is written quoted. A value written unquoted
// by an older version still reads as on, and the next save quotes it.
TEST(Autostart, TheRunValueIsQuotedAndAnOldUnquotedOneStillReads) {
    EXPECT_EQ(RunValueData(L"C:\\Users\\Anna Petrova\\Kadrix.exe"),
              L"\"C:\\Users\\Anna Petrova\\Kadrix.exe\"");
    for (const std::wstring_view stored : {ExePath, Quoted}) {
        SCOPED_TRACE(std::string(stored.begin(), stored.end()));
        TMemoryRegistry registry;
        registry.Put(RunKey, L"Kadrix", Str(stored));
        TSettings settings = Loaded(registry);
        EXPECT_TRUE(settings.RunWinStart);
        SaveRegSettings(registry, settings, L"Kadrix.exe", ExePath);
        EXPECT_EQ(registry.Get(RunKey, L"Kadrix"), Str(Quoted));
    }
}

TEST(Autostart, RegistryFailuresReadAsOff) {
    TMemoryRegistry registry;
    registry.Put(RunKey, L"Kadrix", Str(ExePath));
    registry.Unopenable.insert(std::wstring(RunKey));
    EXPECT_FALSE(IsRunWinStart(registry));
    registry.Unopenable.clear();
    registry.ThrowOnOpen = true;
    EXPECT_FALSE(IsRunWinStart(registry));
}

TEST(DefaultPath, AppendsTheProductFolder) {
    EXPECT_EQ(GetDefaultPath(L"D:\\Pictures"), L"D:\\Pictures\\Kadrix\\");
    EXPECT_EQ(GetDefaultPath(L"D:\\"), L"D:\\Kadrix\\");
    EXPECT_EQ(GetDefaultPath(std::wstring_view(L"C:\\Pics\0garbage", 15)), L"C:\\Pics\\Kadrix\\");
    EXPECT_EQ(GetDefaultPath(std::nullopt), L"");
    EXPECT_EQ(GetDefaultPath(L""), L"");
}

TEST(DefaultPath, UnavailablePicturesFolderLeavesPathEmpty) {
    TMemoryRegistry registry;
    TSettings settings;
    InitSettings(registry, settings, GetDefaultPath(std::nullopt));
    EXPECT_EQ(settings.path, L"");
}

TEST(SettingsKeyAccess, OpenSettingsKeyCreatesAndNeverRaises) {
    EXPECT_EQ(OpenSettingsKey(nullptr), nullptr);

    TMemoryRegistry registry;
    EXPECT_NE(OpenSettingsKey(&registry), nullptr);
    EXPECT_TRUE(registry.KeyExists(SettingsKey));

    TMemoryRegistry failing;
    failing.Uncreatable.insert(std::wstring(SettingsKey));
    EXPECT_EQ(OpenSettingsKey(&failing), nullptr);
    failing.ThrowOnOpen = true;
    EXPECT_EQ(OpenSettingsKey(&failing), nullptr);
}
} // namespace

// Raw values as the registry hands them over, by code unit whatever the
// width of wchar_t.
TEST(RegValueFromRaw, Table) {
    using V = TRegValue;
    const std::vector<std::uint8_t> abc = {'a', 0, 'b', 0, 'c', 0};
    const struct {
        std::uint32_t Type;
        std::vector<std::uint8_t> Bytes;
        TRegValue Expected;
    } rows[] = {
        {V::RegDword, {1, 2, 3, 4}, V::OfDword(0x04030201)},
        {V::RegDword, {1, 2, 3}, V::OfOther()},
        {V::RegDword, {1, 2, 3, 4, 5, 6, 7, 8}, V::OfOther()},
        {V::RegSz, abc, V::OfString(L"abc")},
        {V::RegExpandSz, {'a', 0, 0, 0, 'z', 0}, V::OfString(L"a")},
        {V::RegSz, {'a', 0, 'b'}, V::OfString(L"a")},
        {V::RegSz,
         {0x3D, 0xD8, 0x00, 0xDE},
         V::OfString(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)})},
        {V::RegSz, {}, V::OfString(L"")},
        {V::RegBinary, abc, V::OfBinary(abc)},
        {11, abc, V::OfOther()}, // REG_QWORD
    };
    for (const auto& row : rows)
        EXPECT_EQ(V::FromRaw(row.Type, row.Bytes), row.Expected)
            << "type " << row.Type << ", " << row.Bytes.size() << " bytes";
}
