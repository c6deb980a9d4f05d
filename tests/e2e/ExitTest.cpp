// However Kadrix is asked to close (tray "Выход", WM_CLOSE as the installer
// sends it, the end of the session) and whatever is open at the time, the
// process is gone within 3 s. Every request it makes meets a server that
// accepts and never answers, over HTTPS (the update check uses nothing else).
#include "BadServer.h"
#include "KadrixProcess.h"
#include "ScreenPattern.h"
#include "TestTls.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {
enum class TClose { TrayExit, WmClose, EndSession };

const char* Name(TClose c) {
    return c == TClose::TrayExit ? "Выход" : c == TClose::WmClose ? "WM_CLOSE" : "WM_ENDSESSION";
}

class Exit : public TCaptureFixture {
protected:
    void SetUp() override {
        TCaptureFixture::SetUp();
        FServer.SetMode(TBadServer::TMode::Silent);
        FServer.SetTls(FPki.Server("IP:127.0.0.1", -60, TTestPki::Day));
        ASSERT_TRUE(TrustInRootStore(FPki.CaDer()));
    }
    enum TPreset { None, SurveyDue, UploadOnRelease };
    // A fresh settings key pointing at the silent server.
    void FreshSettings(TPreset preset) {
        ResetSettingsKey();
        SetString(L"ServiceUrl", L"https://127.0.0.1:" + std::to_wstring(FServer.Port()));
        SetDword(L"OpenURL", 0);
        if (preset == SurveyDue) SetDword(L"SurveyCloseCount", 2); // the survey at the third action
        if (preset == UploadOnRelease) SetDword(L"ShowRedact", 0);
    }
    HWND Main() const { return FKadrix->WaitMainWindow(); }
    bool Shown(const wchar_t* cls) const {
        return WaitUntil([&] { return ShownRect(FKadrix->FindWindowOfClass(cls)).right > 0; });
    }
    bool OpenTrayMenu() const {
        ::PostMessageW(Main(), WM_APP + 1, 1, WM_RBUTTONUP);
        const bool open = WaitUntil([] { return ::FindWindowW(L"#32768", nullptr) != nullptr; });
        std::this_thread::sleep_for(200ms); // the menu takes keys once it has drawn
        return open;
    }
    bool CopySelection() {
        StartCapture();
        DragMouse(100, 100, 300, 250);
        if (!Shown(L"TPanelSave")) return false;
        TapKey('C', {VK_CONTROL});
        return true;
    }
    bool OpenSettings() const {
        ::ShowWindow(FPattern->Handle(), SW_HIDE); // topmost: clicks must reach the dialog
        ::PostMessageW(Main(), ::RegisterWindowMessageW(L"ORVIK_KADRIX_SHOWSETTINGS"), 0, 0);
        const bool shown = Shown(L"TSettingForm");
        std::this_thread::sleep_for(300ms); // mapped and painted before the first click
        return shown;
    }
    void ClickIn(const wchar_t* cls, POINT p) const {
        ::ClientToScreen(FKadrix->FindWindowOfClass(cls), &p);
        ClickAt(p.x, p.y);
    }
    void Close(TClose how) const {
        switch (how) {
        case TClose::TrayExit:
            ASSERT_TRUE(OpenTrayMenu());
            TapKey(VK_UP); // wraps to "Выход"
            TapKey(VK_RETURN);
            break;
        case TClose::WmClose:
            ::PostMessageW(Main(), WM_CLOSE, 0, 0);
            break;
        case TClose::EndSession:
            ::PostMessageW(Main(), WM_ENDSESSION, TRUE, 0);
            break;
        }
    }

    const TTestPki FPki;
    TBadServer FServer{0};
};

TEST_F(Exit, EndsWithinThreeSecondsInEveryState) {
    ASSERT_NE(FServer.Port(), 0);
    const struct {
        const char* State;
        TClose How;
        TPreset Preset;
        std::function<bool()> Enter;
    } cases[] = {
        {"idle", TClose::TrayExit, None, [] { return true; }},
        {"tray menu open", TClose::WmClose, None, [this] { return OpenTrayMenu(); }},
        {"overlay open", TClose::WmClose, None,
         [this] {
             StartCapture();
             return true;
         }},
        {"offer open", TClose::EndSession, None,
         [this] { return CopySelection() && Shown(L"TFormOfferZelt"); }},
        {"survey open", TClose::WmClose, SurveyDue,
         [this] { return CopySelection() && Shown(L"TFormSurvey"); }},
        {"about open", TClose::TrayExit, None,
         [this] {
             if (!OpenTrayMenu()) return false;
             for (int k = 0; k < 5; ++k)
                 TapKey(VK_DOWN);
             TapKey(VK_RETURN);
             return Shown(L"TAboutForm");
         }},
        {"settings open", TClose::WmClose, None, [this] { return OpenSettings(); }},
        {"folder chooser open", TClose::EndSession, None,
         [this] {
             if (!OpenSettings()) return false;
             ClickIn(L"TSettingForm", {82, 320});  // the save page
             ClickIn(L"TSettingForm", {587, 288}); // "Выбрать"
             return Shown(L"TSelectDirForm");
         }},
        {"upload hanging", TClose::WmClose, UploadOnRelease,
         [this] {
             StartCapture();
             DragMouse(10, 10, FW - 10, FH - 10);
             return WaitUntil([&] { return FServer.Open() > 0; }, 10s);
         }},
        // The check starts 10 s after start.
        {"update check hanging", TClose::TrayExit, None,
         [this] { return WaitUntil([&] { return FServer.Open() > 0; }, 20s); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.State) + ", " + Name(c.How));
        FKadrix.reset();
        FreshSettings(c.Preset);
        StartKadrix();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(c.Enter()) << "the state was not reached";
        Close(c.How);
        const auto start = std::chrono::steady_clock::now();
        DWORD code = 99;
        EXPECT_TRUE(FKadrix->WaitExit(3s, &code)) << "still running 3 s after the close";
        EXPECT_EQ(code, 0u);
        std::printf(
            "[ report ] exit, %s, %s: %.2f s\n", c.State, Name(c.How),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
} // namespace
