#include "dialogs/SelectDir.h"
#include "dialogs/SettingFormUnit.h"
#include "dialogs/TakenHotKeys.h"

#include "unit/fakes/FakeFormHost.h"
#include "unit/fakes/FakeTextRasterizer.h"
#include "unit/fakes/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/Utilities.h"

namespace {
constexpr std::wstring_view ExePath = L"C:\\Apps\\Kadrix.exe";

class TFakeSettingPlatform : public TSettingPlatform {
public:
    bool IsRunWinStart() override { return ::IsRunWinStart(Registry); }
    std::wstring DefaultPath() override { return L"D:\\Pictures\\Kadrix\\"; }
    bool RegHotKey(TTypeHotKey tp, TShortCut hk) override {
        Registered.push_back({tp, hk});
        return !Refused.contains(tp);
    }
    void SaveRegSettings(const TSettings& s) override {
        ::SaveRegSettings(Registry, s, L"Kadrix.exe", ExePath);
    }
    bool DirectoryExists(const std::wstring& path) override { return path == Existing; }
    std::optional<std::wstring> ChooseFolder(const std::wstring& preselect) override {
        Preselected = preselect;
        return Chosen;
    }
    bool FolderWritable(const std::wstring& folder) override { return folder != ReadOnly; }
    std::wstring KeyName(std::uint8_t) override { return {}; }
    void ShowError(const std::wstring& message) override { Errors.push_back(message); }

    TMemoryRegistry Registry;
    std::set<TTypeHotKey> Refused;
    std::vector<std::pair<TTypeHotKey, TShortCut>> Registered;
    std::wstring Existing, ReadOnly, Preselected = L"(not asked)";
    std::optional<std::wstring> Chosen;
    std::vector<std::wstring> Errors;
};

struct TDialog {
    explicit TDialog(TSettings start = {}) : Settings(std::move(start)) {
        if (Settings.path.empty()) Settings.path = L"D:\\Shots\\";
    }
    TFakeTextRasterizer Text;
    TFakeSettingPlatform Platform;
    TSettings Settings;
    std::unique_ptr<TSettingForm> Form;

    TSettingForm& Open() {
        Form = std::make_unique<TSettingForm>(Text, Settings, Platform);
        Form->Show();
        return *Form;
    }
};

struct THotKeys3 {
    TShortCut All, Area, Win;
    bool operator==(const THotKeys3&) const = default;
};
THotKeys3 Shown(TSettingForm& f) {
    return {f.hkAllScreen.Editor.HotKey(), f.hkAreaScreen.Editor.HotKey(),
            f.hkWinScreen.Editor.HotKey()};
}

TEST(SettingForm, HotKeyConflicts) {
    const struct {
        const char* Name;
        THotKeys3 Stored;
        std::function<void(TSettingForm&)> Act;
        THotKeys3 Expected;
    } cases[] = {
        {"stored defaults load unchanged", {0x202C, 0x2C, 0x802C}, {}, {0x202C, 0x2C, 0x802C}},
        {"typing the whole-screen combination into the area box",
         {0x202C, 0x2C, 0x802C},
         [](TSettingForm& f) {
             f.hkAreaScreen.Editor.KeyDown(0x10, true, false, false);
             f.hkAreaScreen.Editor.KeyDown(0x2C, true, false, false);
         },
         {0x202C, 0, 0x802C}},
        {"reset while the area box holds Shift+Prt Scr",
         {0x4041, 0x202C, 0x802C},
         [](TSettingForm& f) { f.DefaultSettings(); },
         {0, 0x2C, 0x802C}},
        {"equal stored whole-screen and area: area loaded second is cleared",
         {0x4041, 0x4041, 0x802C},
         {},
         {0x4041, 0, 0x802C}},
        {"equal stored area and window: window is cleared",
         {0x202C, 0x4041, 0x4041},
         {},
         {0x202C, 0x4041, 0}},
        {"double click clears a box",
         {0x202C, 0x2C, 0x802C},
         [](TSettingForm& f) { f.hkWinScreen.Editor.OnDblClick(); },
         {0x202C, 0x2C, 0}},
    };
    for (const auto& c : cases) {
        TSettings s;
        s.hkAllScreen = c.Stored.All;
        s.hkAreaScreen = c.Stored.Area;
        s.hkWindow = c.Stored.Win;
        TDialog d(s);
        TSettingForm& f = d.Open();
        if (c.Act) c.Act(f);
        EXPECT_EQ(Shown(f), c.Expected) << c.Name;
    }
}

TEST(SettingForm, RadioPairDrivesOpenURL) {
    TDialog d;
    TSettingForm& f = d.Open();
    f.btOpenURL.Click(); // by hand: off while the server option is on
    ASSERT_FALSE(f.btOpenURL.Down());
    f.btServer.Click(); // already active: nothing changes
    EXPECT_TRUE(f.btServer.Down());
    EXPECT_FALSE(f.btOpenURL.Down());
    f.lbClip.Click(); // the label forwards to its box
    EXPECT_TRUE(f.btClip.Down());
    EXPECT_FALSE(f.btServer.Down());
    EXPECT_FALSE(f.btOpenURL.Down());
    f.btOpenURL.Click(); // still free to toggle in clipboard mode
    EXPECT_TRUE(f.btOpenURL.Down());
    f.btClip.Click();
    EXPECT_TRUE(f.btOpenURL.Down());
    f.btServer.Click();
    EXPECT_TRUE(f.btServer.Down());
    EXPECT_FALSE(f.btClip.Down());
    EXPECT_TRUE(f.btOpenURL.Down());
}

TEST(SettingForm, TabsShowOnePageAndLoadComboPicturesOnce) {
    TDialog d;
    TSettingForm& f = d.Open();
    EXPECT_TRUE(f.btMain.Down());
    EXPECT_TRUE(f.btRunWinStart.Visible());
    EXPECT_FALSE(f.btServer.Visible());
    EXPECT_FALSE(f.cbFormat.ArrowButton().NormalImage().HasGraphic());
    f.btSave.Click();
    EXPECT_TRUE(f.btSave.Down() && !f.btMain.Down() && !f.btHot.Down());
    EXPECT_TRUE(f.btServer.Visible());
    EXPECT_FALSE(f.btRunWinStart.Visible());
    EXPECT_FALSE(f.hkAllScreen.Frame.Visible());
    EXPECT_TRUE(f.cbFormat.ArrowButton().NormalImage().HasGraphic());
}

TEST(SettingForm, MouseOnTabCentresSwitchesPages) {
    TDialog d;
    TSettingForm& f = d.Open();
    TFakeFormHost host(f);
    const struct {
        int X, Y;
        TSettingPage Page;
    } cases[] = {{82, 211, spHot}, {82, 320, spSave}, {82, 100, spMain}};
    for (const auto& c : cases) {
        EXPECT_NE(f.ControlAt(c.X, c.Y), nullptr);
        f.MouseMove(MouseAt(c.X, c.Y));
        f.MouseDown(MouseAt(c.X, c.Y, ssLeft));
        f.MouseUp(MouseAt(c.X, c.Y));
        EXPECT_EQ(f.ActivePage(), c.Page) << c.Y;
    }
}

TEST(SettingForm, CancelAfterChangingEverythingChangesNothing) {
    TDialog d;
    d.Platform.Registry.Put(RunKey, L"Kadrix", TRegValue::OfString(L"C:\\Old\\Kadrix.exe"));
    d.Platform.Registry.Put(SettingsKey, L"format", TRegValue::OfDword(0));
    const TSettings before = d.Settings;
    const auto registryBefore = d.Platform.Registry.Keys;
    TSettingForm& f = d.Open();
    for (TImageButton* b : {&f.btRunWinStart, &f.btShowRedact, &f.btShowCursor, &f.btPlaySound,
                            &f.btTwoMouse, &f.btClip, &f.btOpenURL, &f.btSaveToo})
        b->Click();
    f.hkAreaScreen.Editor.KeyDown('Q', false, true, false);
    f.cbFormat.ListSelChange(1);
    d.Platform.Chosen = L"E:\\Elsewhere";
    f.SelectDirClick();
    ASSERT_EQ(f.PathText(), L"E:\\Elsewhere\\");
    f.btCancel.Click();
    EXPECT_EQ(f.ModalResult(), mrCancel);
    EXPECT_EQ(d.Settings, before);
    EXPECT_EQ(d.Platform.Registry.Keys, registryBefore);
    EXPECT_TRUE(d.Platform.Registry.Log.empty());
    EXPECT_TRUE(d.Platform.Registered.empty());

    TDialog cross;
    cross.Open().btClose.Click();
    EXPECT_EQ(cross.Form->ModalResult(), mrCancel);
    EXPECT_TRUE(cross.Platform.Registry.Log.empty());
}

TEST(SettingForm, SaveAlwaysRewritesOrDeletesTheAutostartValue) {
    const struct {
        const char* Stored; // Run value before, null when missing
        bool Untick;        // the user unticks the box (it starts as the value exists)
        const wchar_t* Expected;
    } cases[] = {
        {"C:\\Old\\Kadrix.exe", false, ExePath.data()}, // moved program: path updated
        {"C:\\Old\\Kadrix.exe", true, nullptr},
        {nullptr, false, nullptr},
    };
    for (const auto& c : cases) {
        TDialog d;
        if (c.Stored)
            d.Platform.Registry.Put(RunKey, L"Kadrix", TRegValue::OfString(Utf8ToWide(c.Stored)));
        else
            d.Platform.Registry.Keys[std::wstring(RunKey)];
        TSettingForm& f = d.Open();
        if (c.Untick) f.lbRunWinStart.Click();
        f.btSaveSettings.Click();
        EXPECT_EQ(f.ModalResult(), mrOk);
        const auto v = d.Platform.Registry.Get(RunKey, L"Kadrix");
        if (c.Expected)
            EXPECT_EQ(v, TRegValue::OfString(RunValueData(c.Expected))) << c.Stored; // quoted
        else
            EXPECT_EQ(v, std::nullopt);
        EXPECT_EQ(d.Settings.RunWinStart, c.Expected != nullptr);
    }
}

TEST(SettingForm, SaveRegistersInOrderAndStoresARefusedHotKeyAsNone) {
    TDialog d;
    d.Platform.Refused = {thkWin};
    TSettingForm& f = d.Open();
    f.hkAreaScreen.Editor.KeyDown(0x78, true, true, false);
    f.btSaveSettings.Click();
    const std::vector<std::pair<TTypeHotKey, TShortCut>> order = {
        {thkAll, 0x202C}, {thkWin, 0x802C}, {thkArea, 0x6078}};
    EXPECT_EQ(d.Platform.Registered, order);
    EXPECT_EQ(f.hkWinScreen.Editor.Text(), L"");
    EXPECT_EQ(d.Settings.hkWindow, 0);
    EXPECT_EQ(d.Settings.hkAreaScreen, 0x6078);
    EXPECT_EQ(d.Platform.Registry.Get(SettingsKey, L"hkWindow"), TRegValue::OfDword(0));
    EXPECT_EQ(d.Platform.Registry.Get(SettingsKey, L"hkAreaScreen"), TRegValue::OfDword(0x6078));
}

TEST(SettingForm, RegistryWriteErrorIsShownAndTheDialogStaysOpen) {
    TDialog d;
    d.Platform.Registry.FailingWrites = {L"format"};
    TSettingForm& f = d.Open();
    f.btSaveSettings.Click();
    EXPECT_EQ(f.ModalResult(), mrNone);
    EXPECT_TRUE(f.Showing());
    EXPECT_EQ(d.Platform.Errors, std::vector<std::wstring>{L"Failed to set data for 'format'"});
}

TEST(SettingForm, FolderChoice) {
    const struct {
        const char* Name;
        std::wstring Existing;
        std::optional<std::wstring> Chosen;
        std::wstring ReadOnly;
        std::wstring Preselected, Path;
        bool SaveToo;
    } cases[] = {
        {"writable folder taken with a backslash", L"D:\\Shots\\", L"E:\\New", L"", L"D:\\Shots\\",
         L"E:\\New\\", true},
        {"drive root keeps its one backslash", L"", L"E:\\", L"", L"", L"E:\\", true},
        {"read-only folder changes nothing", L"", L"E:\\Locked", L"E:\\Locked", L"", L"D:\\Shots\\",
         false},
        {"cancelled chooser changes nothing", L"", std::nullopt, L"", L"", L"D:\\Shots\\", false},
    };
    for (const auto& c : cases) {
        TDialog d;
        d.Platform.Existing = c.Existing;
        d.Platform.Chosen = c.Chosen;
        d.Platform.ReadOnly = c.ReadOnly;
        TSettingForm& f = d.Open();
        f.btSelectDir.Click();
        EXPECT_EQ(d.Platform.Preselected, c.Preselected) << c.Name;
        EXPECT_EQ(f.PathText(), c.Path) << c.Name;
        EXPECT_EQ(f.btSaveToo.Down(), c.SaveToo) << c.Name;
    }
}

TEST(SelectDirForm, SaveClosesOnlyOnAnExistingFileSystemFolder) {
    struct TPlatform : TSelectDirPlatform {
        std::optional<std::wstring> Path;
        std::optional<std::wstring> SelectedPath() override { return Path; }
        bool DirectoryExists(const std::wstring& p) override { return p == L"C:\\Shots"; }
    };
    const struct {
        std::optional<std::wstring> Selected;
        TModalResult Result;
    } cases[] = {
        {std::nullopt, mrNone}, // nothing selected, or a virtual node
        {L"C:\\Gone", mrNone},
        {L"C:\\Shots", mrOk},
    };
    for (const auto& c : cases) {
        TFakeTextRasterizer text;
        TPlatform platform;
        platform.Path = c.Selected;
        TSelectDirForm form(text, platform);
        form.Show();
        form.btOk.Click();
        EXPECT_EQ(form.ModalResult(), c.Result);
        EXPECT_EQ(form.Showing(), c.Result == mrNone);
    }
    TFakeTextRasterizer text;
    TPlatform platform;
    TSelectDirForm form(text, platform);
    form.Show();
    form.btClose.Click();
    EXPECT_EQ(form.ModalResult(), mrCancel);
}

TEST(TakenHotKeys, RefusedCombinationsNamedInOneMessage) {
    TSettings s;
    s.hkWindow = 0; // "none" is never reported
    std::vector<TTypeHotKey> order;
    const auto taken = RegisterCaptureHotKeys(s, [&](TTypeHotKey tp, TShortCut) {
        order.push_back(tp);
        return tp == thkAll ? true : false;
    });
    EXPECT_EQ(order, (std::vector<TTypeHotKey>{thkAll, thkWin, thkArea}));
    EXPECT_EQ(taken, std::vector<TShortCut>{0x2C});
    EXPECT_EQ(TakenHotKeysMessage(taken),
              L"Клавиша Prt Scr занята другой программой. Назначьте другую в «Настройках» "
              L"(меню значка).");
    EXPECT_EQ(TakenHotKeysMessage({0x202C, 0x2C}).substr(0, 35),
              L"Клавиши Shift+Prt Scr, Prt Scr заня");
    EXPECT_EQ(TakenHotKeysMessage({}), L"");
}

TEST(FolderWritable, WritableFolderLeavesNoFile) {
    const auto dir = std::filesystem::temp_directory_path() / "kadrix-write-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::mt19937 random(7);
    EXPECT_TRUE(FolderWritable(dir.wstring(), random));
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    std::filesystem::remove_all(dir);
}

TEST(FolderWritable, UnwritableFolderFails) {
#ifdef _WIN32
    GTEST_SKIP() << "no folder that refuses files under Wine's root";
#else
    // Refuses new files even to root, unlike a mode-0555 folder.
    std::mt19937 random(7);
    EXPECT_FALSE(FolderWritable(L"/proc", random));
    EXPECT_FALSE(FolderWritable(L"/nonexistent-kadrix", random));
#endif
}
} // namespace
