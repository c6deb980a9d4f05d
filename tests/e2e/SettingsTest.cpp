// The settings dialog in the running program: how it opens, what saving and
// cancelling do to the registry and the hotkeys, and the folder chooser.
#include "ClipboardImage.h"
#include "KadrixProcess.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr UINT WM_TRAYICON = WM_APP + 1;
constexpr wchar_t RunKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Client points of the dialog (681 x 439).
constexpr POINT TabHot{82, 211}, TabSave{82, 320};
constexpr POINT RunWinStartBox{184, 127};
constexpr POINT AreaEditor{270, 201};
constexpr POINT SelectDirButton{587, 288};
constexpr POINT CancelButton{426, 404}, SaveButton{586, 404};
constexpr POINT PathField{340, 289}; // an I-beam over it

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsKey();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKeyPath, L"Kadrix");
    }
    void TearDown() override {
        ResetSettingsKey();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKeyPath, L"Kadrix");
    }

    HWND StartAndOpen() {
        FKadrix = std::make_unique<TKadrixProcess>();
        HWND main = FKadrix->WaitMainWindow();
        if (!main) return nullptr;
        ::PostMessageW(main, ::RegisterWindowMessageW(L"ORVIK_KADRIX_SHOWSETTINGS"), 0, 0);
        return WaitDialog();
    }
    HWND WaitDialog() {
        HWND dialog = nullptr;
        WaitUntil([&] {
            dialog = FKadrix->FindWindowOfClass(L"TSettingForm");
            return dialog && ::IsWindowVisible(dialog);
        });
        std::this_thread::sleep_for(300ms); // mapped and painted before the first click
        return dialog;
    }
    bool DialogGone() const {
        return WaitUntil([&] { return FKadrix->FindWindowOfClass(L"TSettingForm") == nullptr; },
                         5s);
    }
    bool OverlayShown() const {
        HWND overlay = FKadrix->FindWindowOfClass(L"TSetRegionForm");
        return overlay && ::IsWindowVisible(overlay);
    }

    std::unique_ptr<TKadrixProcess> FKadrix;
};

void ClickAt(HWND wnd, POINT client) {
    POINT p = client;
    ::ClientToScreen(wnd, &p);
    // The first press after a window maps may land where the pointer was.
    MoveMouseTo(p.x + 3, p.y + 3);
    std::this_thread::sleep_for(100ms);
    MoveMouseTo(p.x, p.y);
    std::this_thread::sleep_for(100ms);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    std::this_thread::sleep_for(150ms);
}

HWND ChildEditAt(HWND dialog, POINT client) {
    POINT p = client;
    ::ClientToScreen(dialog, &p);
    HWND w = ::WindowFromPoint(p);
    wchar_t cls[32] = {};
    ::GetClassNameW(w, cls, 32);
    return _wcsicmp(cls, L"Edit") == 0 ? w : nullptr;
}

std::wstring TextOf(HWND wnd) {
    wchar_t text[128] = {};
    ::SendMessageW(wnd, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text));
    return text;
}

std::optional<DWORD> ReadDword(const wchar_t* key, const wchar_t* name) {
    DWORD value = 0, size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::wstring ReadString(const wchar_t* key, const wchar_t* name) {
    wchar_t text[512] = {};
    DWORD size = sizeof(text);
    ::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

// Every value of a key: name -> type and bytes.
std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>> KeyDump(const wchar_t* path) {
    std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>> dump;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return dump;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256, type = 0, size = 4096;
        std::vector<BYTE> data(size);
        if (::RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        data.resize(size);
        dump[name] = {type, data};
    }
    ::RegCloseKey(key);
    return dump;
}

TEST_F(Settings, TrayItemAndSecondStartOpenOneDialog) {
    FKadrix = std::make_unique<TKadrixProcess>();
    HWND main = FKadrix->WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ::PostMessageW(main, WM_TRAYICON, 1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitUntil([] {
        HWND menu = ::FindWindowW(L"#32768", nullptr);
        return menu && ::IsWindowVisible(menu);
    }));
    for (int i = 0; i < 3; ++i) // "Сделать скриншот", "Записать видео", "Настройки"
        TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    HWND dialog = WaitDialog();
    ASSERT_NE(dialog, nullptr);
    wchar_t caption[64] = {};
    ::GetWindowTextW(dialog, caption, 64);
    EXPECT_STREQ(caption, L"Настройки");
    RECT rc{};
    ::GetClientRect(dialog, &rc);
    EXPECT_EQ(rc.right, 681);
    EXPECT_EQ(rc.bottom, 439);
    EXPECT_TRUE(::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    TKadrixProcess second;
    EXPECT_TRUE(second.WaitExit(10s));
    std::this_thread::sleep_for(500ms);
    int dialogs = 0;
    for (HWND w : FKadrix->Windows()) {
        wchar_t cls[64] = {};
        ::GetClassNameW(w, cls, 64);
        dialogs += wcscmp(cls, L"TSettingForm") == 0;
    }
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(DialogGone());
}

TEST_F(Settings, NewAreaHotKeyCapturesAndTheOldOneNoLonger) {
    HWND dialog = StartAndOpen();
    ASSERT_NE(dialog, nullptr);
    ClickAt(dialog, TabHot);
    HWND area = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (area = ChildEditAt(dialog, AreaEditor)) != nullptr; }));
    ClickAt(dialog, AreaEditor);
    EXPECT_EQ(TextOf(area), L"Prt Scr");

    // The area's own hotkey, pressed in its editor, is typed, not captured.
    TapKey(VK_SNAPSHOT);
    std::this_thread::sleep_for(NothingHappensWithin);
    EXPECT_FALSE(OverlayShown());
    EXPECT_EQ(TextOf(area), L"Prt Scr");

    TapKey(VK_F9, {VK_CONTROL, VK_SHIFT});
    EXPECT_TRUE(WaitUntil([&] { return TextOf(area) == L"Shift+Ctrl+F9"; }, 2s));
    ClickAt(dialog, SaveButton);
    ASSERT_TRUE(DialogGone());
    EXPECT_EQ(ReadDword(TestSettingsKey, L"hkAreaScreen"), 0x6078u);
    EXPECT_EQ(ReadDword(TestSettingsKey, L"hkAllScreen"), 0x202Cu);

    TapKey(VK_F9, {VK_CONTROL, VK_SHIFT});
    ASSERT_TRUE(WaitUntil([&] { return OverlayShown(); }, 5s));
    // Under load the overlay can show before it holds the keyboard focus.
    std::this_thread::sleep_for(500ms);
    TapKey(VK_ESCAPE);
    if (!WaitUntil([&] { return !OverlayShown(); }, 3s)) TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !OverlayShown(); }, 3s));
    TapKey(VK_SNAPSHOT);
    std::this_thread::sleep_for(NothingHappensWithin);
    EXPECT_FALSE(OverlayShown());
}

TEST_F(Settings, UntickingAutostartRemovesTheRunValue) {
    const std::wstring exe = L"C:\\Somewhere\\Kadrix.exe";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, RunKeyPath, L"Kadrix", REG_SZ, exe.c_str(),
                      DWORD((exe.size() + 1) * sizeof(wchar_t)));
    HWND dialog = StartAndOpen();
    ASSERT_NE(dialog, nullptr);
    ClickAt(dialog, RunWinStartBox);
    ClickAt(dialog, SaveButton);
    ASSERT_TRUE(DialogGone());
    EXPECT_FALSE(ValueExists(RunKeyPath, L"Kadrix"));
    EXPECT_EQ(ReadDword(TestSettingsKey, L"TwoMouse"), 1u); // the record was written too
}

TEST_F(Settings, CancelAfterChangesLeavesTheRegistryByteIdentical) {
    SetDword(L"hkWindow", 0x4041);
    SetDword(L"format", 1);
    const auto settingsBefore = KeyDump(TestSettingsKey);
    const auto runBefore = KeyDump(RunKeyPath);
    HWND dialog = StartAndOpen();
    ASSERT_NE(dialog, nullptr);
    ClickAt(dialog, RunWinStartBox);
    ClickAt(dialog, TabHot);
    ClickAt(dialog, AreaEditor);
    TapKey('Q', {VK_CONTROL});
    ClickAt(dialog, TabSave);
    ClickAt(dialog, CancelButton);
    ASSERT_TRUE(DialogGone());
    EXPECT_EQ(KeyDump(TestSettingsKey), settingsBefore);
    EXPECT_EQ(KeyDump(RunKeyPath), runBefore);
    // The hotkeys were not touched either: Print Screen still captures.
    TapKey(VK_SNAPSHOT);
    EXPECT_TRUE(WaitUntil([&] { return OverlayShown(); }, 5s));
    TapKey(VK_ESCAPE);
}

namespace {
// The save page's "Выбрать": the folder chooser once it shows, or null.
HWND OpenFolderChooser(HWND dialog) {
    ClickAt(dialog, TabSave);
    ClickAt(dialog, SelectDirButton);
    HWND chooser = nullptr;
    WaitUntil([&] {
        chooser = ::FindWindowW(L"TSelectDirForm", nullptr);
        return chooser && ::IsWindowVisible(chooser);
    });
    return chooser && ::IsWindowVisible(chooser) ? chooser : nullptr;
}
} // namespace

TEST_F(Settings, FolderChooserTakesAFolderChosenByKeyboard) {
    const std::wstring root = L"C:\\KadrixE2E";
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\Inner").c_str(), nullptr);
    SetString(L"path", root + L"\\Inner\\");
    HWND dialog = StartAndOpen();
    ASSERT_NE(dialog, nullptr);
    HWND chooser = OpenFolderChooser(dialog);
    ASSERT_NE(chooser, nullptr);
    RECT rc{};
    ::GetClientRect(chooser, &rc);
    EXPECT_EQ(rc.right, 402);
    EXPECT_EQ(rc.bottom, 634);
    std::this_thread::sleep_for(300ms);
    TapKey(VK_LEFT); // from the preselected Inner up to its parent
    TapKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(chooser); }, 5s));
    ClickAt(dialog, SaveButton);
    ASSERT_TRUE(DialogGone());
    EXPECT_EQ(ReadString(TestSettingsKey, L"path"), root + L"\\");
    EXPECT_EQ(ReadDword(TestSettingsKey, L"SaveLocal"), 1u);
    ::RemoveDirectoryW((root + L"\\Inner").c_str());
    ::RemoveDirectoryW(root.c_str());
}

// A stored folder that is gone preselects nothing: "Сохранить" then keeps
// the chooser open instead of taking the tree's first item, the desktop.
TEST_F(Settings, FolderChooserWithNothingChosenStaysOpen) {
    SetString(L"path", L"C:\\KadrixE2E-gone\\");
    HWND dialog = StartAndOpen();
    ASSERT_NE(dialog, nullptr);
    HWND chooser = OpenFolderChooser(dialog);
    ASSERT_NE(chooser, nullptr);
    std::this_thread::sleep_for(300ms);
    TapKey(VK_RETURN);
    // The window would close within one message round: 500 ms is plenty.
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(::IsWindow(chooser) && ::IsWindowVisible(chooser)) << "closed on no choice";
    TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(chooser); }, 5s));
    ClickAt(dialog, SaveButton);
    ASSERT_TRUE(DialogGone());
    EXPECT_EQ(ReadString(TestSettingsKey, L"path"), L"C:\\KadrixE2E-gone\\");
}

TEST_F(Settings, PrintScreenHeldByAnotherProgramIsNamedOnce) {
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, 0, VK_SNAPSHOT));
    FKadrix = std::make_unique<TKadrixProcess>();
    ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
    EXPECT_TRUE(WaitUntil(
        [&] {
            HWND hint = FKadrix->FindWindowOfClass(L"TBHintForm");
            return hint && ::IsWindowVisible(hint);
        },
        5s));
    ::UnregisterHotKey(nullptr, 1);
    EXPECT_FALSE(ValueExists(TestSettingsKey, L"hkAreaScreen")); // the stored value stays
}

// The captured cursor stands where the pointer was by its hotspot: an I-beam
// is centred on the pointer, not hanging below and right of it. Kadrix's own
// dialog is in front, so the cursor is Kadrix's and can be drawn.
TEST_F(Settings, CapturedIBeamIsCentredOnThePointer) {
    const DWORD on = 1;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, TestSettingsKey, L"showcursor", REG_DWORD, &on,
                      sizeof(on));
    HWND dialog = StartAndOpen();
    ASSERT_NE(dialog, nullptr);
    ClickAt(dialog, TabSave);
    POINT p = PathField;
    ::ClientToScreen(dialog, &p);
    // Under X a pointer moved by SendInput alone is read back from X where it
    // was; the warp moves both.
    MoveMouseTo(p.x + 1, p.y);
    std::this_thread::sleep_for(200ms);
    ::SetCursorPos(p.x, p.y);
    std::this_thread::sleep_for(500ms);
    // The screen as X shows it has no cursor: the dialog's own pixels.
    constexpr int R = 40;
    std::vector<std::uint32_t> before;
    {
        TWindowDC screen(nullptr);
        for (int y = p.y - R; y <= p.y + R; ++y)
            for (int x = p.x - R; x <= p.x + R; ++x) {
                const COLORREF c = ::GetPixel(screen.get(), x, y);
                before.push_back((std::uint32_t(GetRValue(c)) << 16) | (GetGValue(c) << 8) |
                                 GetBValue(c));
            }
    }
    EmptyTheClipboard();
    TapKey(VK_SNAPSHOT, {VK_SHIFT}); // the whole screen, selected at once
    ASSERT_TRUE(WaitUntil([&] { return OverlayShown(); }, 5s));
    std::this_thread::sleep_for(500ms);
    TapKey('C', {VK_CONTROL});
    std::optional<TClipboardImage> img;
    ASSERT_TRUE(WaitUntil([&] { return (img = ClipboardImage()).has_value(); }, 10s))
        << ClipboardFormats();

    // The cursor's pixels: where the capture differs from the dialog itself.
    RECT box{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (int y = p.y - R, i = 0; y <= p.y + R; ++y)
        for (int x = p.x - R; x <= p.x + R; ++x, ++i)
            if (img->Pixels[std::size_t(y) * img->Width + x] != before[i])
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, y)};
    ASSERT_LE(box.left, box.right) << "no cursor in the capture";
    EXPECT_LT(box.left, p.x - 1);
    EXPECT_GT(box.right, p.x + 1);
    EXPECT_LT(box.top, p.y - 3);
    EXPECT_GT(box.bottom, p.y + 3);
}

// Reported, not asserted: the tray command to the dialog on screen against
// a bare window of the same size made and shown in this process.
TEST_F(Settings, OpenTimeAgainstABareWindow) {
    FKadrix = std::make_unique<TKadrixProcess>();
    HWND main = FKadrix->WaitMainWindow();
    ASSERT_NE(main, nullptr);
    std::this_thread::sleep_for(1s);
    const auto start = std::chrono::steady_clock::now();
    ::PostMessageW(main, ::RegisterWindowMessageW(L"ORVIK_KADRIX_SHOWSETTINGS"), 0, 0);
    HWND dialog = nullptr;
    while (std::chrono::steady_clock::now() - start < 10s) {
        dialog = FKadrix->FindWindowOfClass(L"TSettingForm");
        if (dialog && ::IsWindowVisible(dialog) && !::GetUpdateRect(dialog, nullptr, FALSE)) break;
        std::this_thread::sleep_for(1ms);
    }
    const auto dialogTime = std::chrono::steady_clock::now() - start;
    ASSERT_NE(dialog, nullptr);

    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = ::CreateSolidBrush(RGB(9, 26, 50));
    wc.lpszClassName = L"KadrixBareWindow";
    ::RegisterClassW(&wc);
    const auto bareStart = std::chrono::steady_clock::now();
    unique_hwnd bare(::CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"Bare", WS_POPUP, 100,
                                       100, 681, 439, nullptr, nullptr, wc.hInstance, nullptr));
    ::ShowWindow(bare.get(), SW_SHOW);
    ::UpdateWindow(bare.get());
    const auto bareTime = std::chrono::steady_clock::now() - bareStart;
    bare.reset();
    ::UnregisterClassW(wc.lpszClassName, wc.hInstance);
    ::DeleteObject(wc.hbrBackground);
    using ms = std::chrono::duration<double, std::milli>;
    std::printf("settings dialog open: %.1f ms; bare window 681x439: %.1f ms\n",
                ms(dialogTime).count(), ms(bareTime).count());
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
}
} // namespace
