// The program as a user meets it: start, tray, single instance, settings
// from the registry, the tray menu and the mouse chord.
#include "KadrixProcess.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {
constexpr UINT WM_TRAYICON = WM_APP + 1;

class Foundation : public ::testing::Test {
protected:
    void SetUp() override { ResetSettingsKey(); }
    void TearDown() override { ResetSettingsKey(); }
};

bool OverlayShown(const TKadrixProcess& p) {
    HWND overlay = p.FindWindowOfClass(L"TSetRegionForm");
    return overlay && ::IsWindowVisible(overlay);
}

void CloseOverlay(const TKadrixProcess& p) {
    TapKey(VK_ESCAPE);
    WaitUntil([&] { return !OverlayShown(p); }, 3s);
}

TEST_F(Foundation, StartsHiddenWithItsTrayWindowAndNoVisibleWindow) {
    TKadrixProcess kadrix;
    HWND main = kadrix.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    wchar_t caption[64];
    ::GetWindowTextW(main, caption, 64);
    EXPECT_STREQ(caption, L"Orvik_Kadrix_MainForm");
    // Watch for a while: nothing of ours may show, not even briefly.
    const auto end = std::chrono::steady_clock::now() + 1500ms;
    while (std::chrono::steady_clock::now() < end) {
        for (HWND w : kadrix.Windows()) {
            wchar_t cls[128];
            ::GetClassNameW(w, cls, 128);
            ASSERT_FALSE(::IsWindowVisible(w)) << "visible window of class " << cls;
        }
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(kadrix.Running());
    // Nothing is written to the settings key by merely starting.
    EXPECT_FALSE(ValueExists(TestSettingsKey, L"hkAreaScreen"));
    EXPECT_FALSE(ValueExists(TestSettingsKey, L"TwoMouse"));
}

TEST_F(Foundation, SecondInstanceHandsOverAndEnds) {
    TKadrixProcess first;
    ASSERT_NE(first.WaitMainWindow(), nullptr);
    TKadrixProcess second;
    DWORD code = 1;
    EXPECT_TRUE(second.WaitExit(10s, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(first.Running());
}

// Stands in for a running first instance, to see what a second start posts.
TEST_F(Foundation, SecondInstancePostsShowSettingsToTheFirst) {
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, L"{3B9E4C71-8A2D-4F06-B5E3-7C1D92A4F580}");
    ASSERT_NE(mutex, nullptr);
    unique_handle mutexOwner(mutex);
    static UINT received = 0;
    received = 0;
    const UINT showSettings = ::RegisterWindowMessageW(L"ORVIK_KADRIX_SHOWSETTINGS");
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == ::RegisterWindowMessageW(L"ORVIK_KADRIX_SHOWSETTINGS") && wp == 0 && lp == 0)
            ++received;
        return ::DefWindowProcW(w, m, wp, lp);
    };
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TOrvik_Kadrix_MainForm";
    ::RegisterClassW(&wc);
    unique_hwnd fake(::CreateWindowExW(0, L"TOrvik_Kadrix_MainForm", L"Orvik_Kadrix_MainForm",
                                       WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                       nullptr));
    ASSERT_TRUE(fake);
    ASSERT_NE(showSettings, 0u);

    TKadrixProcess second;
    EXPECT_TRUE(second.WaitExit(10s));
    EXPECT_TRUE(WaitUntil(
        [] {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            return received == 1;
        },
        3s));
    fake.reset();
    ::UnregisterClassW(L"TOrvik_Kadrix_MainForm", wc.hInstance);
}

HWND OpenTrayMenu(HWND main) {
    ::PostMessageW(main, WM_TRAYICON, 1, WM_RBUTTONUP);
    HWND menuWnd = nullptr;
    WaitUntil([&] {
        menuWnd = ::FindWindowW(L"#32768", nullptr);
        return menuWnd && ::IsWindowVisible(menuWnd);
    });
    return menuWnd;
}

// Menus can't be read across processes under Wine, so the order is checked
// the way a user meets it: the first item captures, the last one exits.
TEST_F(Foundation, TrayMenuFirstItemCapturesAndLastItemExits) {
    TKadrixProcess kadrix;
    HWND main = kadrix.WaitMainWindow();
    ASSERT_NE(main, nullptr);

    HWND menu = OpenTrayMenu(main);
    ASSERT_NE(menu, nullptr);
    RECT r{};
    ::GetWindowRect(menu, &r);
    EXPECT_GT(r.bottom - r.top, 6 * 12) << "six items and two separators";
    TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    const auto chosen = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return OverlayShown(kadrix); }, 5s));
    // The capture waits for the menu to vanish from the screen first.
    EXPECT_GE(std::chrono::steady_clock::now() - chosen, 400ms);
    CloseOverlay(kadrix);

    ASSERT_NE(OpenTrayMenu(main), nullptr);
    TapKey(VK_UP); // wraps to "Выход"
    TapKey(VK_RETURN);
    DWORD code = 1;
    EXPECT_TRUE(kadrix.WaitExit(10s, &code));
    EXPECT_EQ(code, 0u);
}

// Without a system tray on the X display, Wine shows the icons in its own
// tray window; each icon is a child window of it.
int TrayIconCount() {
    HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
    if (!tray) return 0;
    int count = 0;
    ::EnumChildWindows(
        tray,
        [](HWND c, LPARAM lp) -> BOOL {
            wchar_t cls[64];
            ::GetClassNameW(c, cls, 64);
            if (std::wstring(cls) == L"__winex11_tray_icon" && ::IsWindowVisible(c))
                ++*reinterpret_cast<int*>(lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(Foundation, TrayIconComesAndGoesWithTheProgram) {
    const int before = TrayIconCount();
    TKadrixProcess kadrix;
    HWND main = kadrix.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconCount() == before + 1; }, 5s));

    ASSERT_NE(OpenTrayMenu(main), nullptr);
    TapKey(VK_UP);
    TapKey(VK_RETURN);
    ASSERT_TRUE(kadrix.WaitExit(10s));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconCount() == before; }, 5s));
}

TEST_F(Foundation, WrongTypedAndOddValuesDoNotStopTheStart) {
    SetString(L"format", L"png");
    SetBinary(L"pencolor", {1, 2, 3});
    SetString(L"TwoMouse", L"yes");
    SetBinary(L"CheckUpdates", {1, 2, 3});
    SetDword(L"path", 7);
    TKadrixProcess kadrix;
    EXPECT_NE(kadrix.WaitMainWindow(), nullptr);
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(kadrix.Running());
}

class MouseChord : public Foundation {
protected:
    void Chord() {
        MoveMouseTo(401, 301);
        std::this_thread::sleep_for(200ms);
        MoveMouseTo(400, 300);
        std::this_thread::sleep_for(200ms);
        for (DWORD flag : {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,
                           MOUSEEVENTF_RIGHTUP}) {
            SendMouseButton(flag);
            std::this_thread::sleep_for(50ms);
        }
    }
};

TEST_F(MouseChord, StartsACaptureWhenEnabled) {
    TKadrixProcess kadrix;
    ASSERT_NE(kadrix.WaitMainWindow(), nullptr);
    Chord();
    EXPECT_TRUE(WaitUntil([&] { return OverlayShown(kadrix); }, 5s));
    CloseOverlay(kadrix);
}

// The capture runs after the hook returns: with every core busy the chord
// still captures, and again after the first capture closed.
TEST_F(MouseChord, StillCapturesUnderLoadAndAgainAfterwards) {
    TKadrixProcess kadrix;
    ASSERT_NE(kadrix.WaitMainWindow(), nullptr);
    std::atomic<bool> stop = false;
    std::vector<std::jthread> load;
    for (unsigned i = 0; i < 2 * std::max(1u, std::thread::hardware_concurrency()); ++i)
        load.emplace_back([&] {
            volatile unsigned spin = 0;
            while (!stop)
                spin = spin + 1;
        });
    for (int round = 0; round < 2; ++round) {
        Chord();
        ASSERT_TRUE(WaitUntil([&] { return OverlayShown(kadrix); }, 10s)) << "round " << round;
        // Esc right after the overlay shows can beat its focus: try again.
        for (int i = 0; i < 3 && OverlayShown(kadrix); ++i) {
            std::this_thread::sleep_for(500ms);
            CloseOverlay(kadrix);
        }
        ASSERT_FALSE(OverlayShown(kadrix));
    }
    stop = true;
}

TEST_F(MouseChord, DoesNothingWhenSwitchedOffInTheRegistry) {
    SetDword(L"TwoMouse", 0);
    TKadrixProcess kadrix;
    ASSERT_NE(kadrix.WaitMainWindow(), nullptr);
    Chord();
    std::this_thread::sleep_for(NothingHappensWithin);
    EXPECT_FALSE(OverlayShown(kadrix));
}

TEST_F(MouseChord, TrayClickStartsACapture) {
    TKadrixProcess kadrix;
    HWND main = kadrix.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ::PostMessageW(main, WM_TRAYICON, 1, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return OverlayShown(kadrix); }, 5s));
    CloseOverlay(kadrix);
}
} // namespace
