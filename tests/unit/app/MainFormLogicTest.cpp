#include "app/MainFormLogic.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
// Records every call as one word, timers with their interval.
class TRecordingHost : public TMainFormHost {
public:
    void SetTimer(TMainTimer t, unsigned ms) override {
        Log += "set" + std::to_string(t) + ":" + std::to_string(ms) + " ";
    }
    void KillTimer(TMainTimer t) override { Log += "kill" + std::to_string(t) + " "; }
    void Pause(unsigned ms) override { Log += "pause" + std::to_string(ms) + " "; }
    void PostCaptureRequest() override { Log += "post "; }
    void RequestAreaCapture() override { Log += "capture "; }
    void ShowOfferWindow() override { Log += "offer "; }
    void OpenSupportPage() override { Log += "support "; }
    void OpenSurveyPage() override { Log += "survey "; }
    void RunSettingsCommand() override { Log += "settings "; }
    void StartUpdateCheck() override { Log += "update "; }
    void CheckUpdatesIfDue() override { Log += "due "; }
    void RunAboutCommand() override { Log += "about "; }
    bool ShowWelcomeModal() override {
        Log += "welcome ";
        if (DuringWelcome) DuringWelcome();
        return WelcomeOk;
    }
    void Quit() override { Log += "quit "; }

    std::string Log;
    bool WelcomeOk = true;
    std::function<void()> DuringWelcome;
};

TEST(MainFormLogic, EachTrayCommandDoesItsOneThing) {
    using enum TTrayCommand;
    const std::pair<TTrayCommand, std::string> table[] = {
        {tcScreenshot, "pause500 capture "},
        {tcRecordVideo, "offer "},
        {tcSupport, "support "},
        {tcSettings, "settings "},
        {tcFeedback, "survey "},
        {tcCheckUpdate, "update "},
        {tcAbout, "about "},
        {tcExit, "quit "},
        {tcNone, ""},
    };
    for (const auto& [command, expected] : table) {
        TRecordingHost host;
        TMainFormLogic logic(host, {});
        logic.RunMenuCommand(command);
        EXPECT_EQ(host.Log, expected) << int(command);
    }
}

TEST(MainFormLogic, StartUpAndUpdateTimers) {
    struct TCase {
        std::vector<std::wstring> Args;
        bool WelcomeOk, UpdateTickDuringWelcome;
        std::string Expected;
    };
    const std::string start = "set2:10000 set1:1000 kill1 ";
    const TCase cases[] = {
        {{}, true, false, start + "kill2 due "},
        {{L"/install", L"x"}, true, false, start + "kill2 due "},
        {{L"/install"}, true, false, start + "welcome capture kill2 due "},
        {{L"/install"}, false, false, start + "welcome kill2 due "},
        // The welcome window outlived the first update tick: the check is due
        // again ten seconds after it closed.
        {{L"/install"}, true, true, start + "welcome kill2 due capture set2:10000 kill2 due "},
    };
    for (const TCase& c : cases) {
        TRecordingHost host;
        TMainFormLogic logic(host, c.Args);
        host.WelcomeOk = c.WelcomeOk;
        if (c.UpdateTickDuringWelcome)
            host.DuringWelcome = [&] { logic.TimerTick(mtCheckUpdates); };
        logic.FormCreate();
        logic.TimerTick(mtStartUp);
        logic.TimerTick(mtCheckUpdates);
        EXPECT_EQ(host.Log, c.Expected)
            << c.Args.size() << c.WelcomeOk << c.UpdateTickDuringWelcome;
    }
}

TEST(MainFormLogic, ChordIsSwallowedAndPostedNotRunInTheHook) {
    TRecordingHost host;
    TMainFormLogic logic(host, {});
    EXPECT_FALSE(logic.MouseHookEvent(0x0201, true)); // left down
    EXPECT_TRUE(logic.MouseHookEvent(0x0204, true));  // right down: the chord
    EXPECT_EQ(host.Log, "post ");
    EXPECT_FALSE(logic.MouseHookEvent(0x0205, true));
    EXPECT_FALSE(logic.MouseHookEvent(0x0204, false)); // switched off
    EXPECT_EQ(host.Log, "post ");
}
} // namespace
