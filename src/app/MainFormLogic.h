#pragma once
// The hidden main window's decisions without the window: what each tray
// command does, the start-up and update timers, and the mouse chord. The
// Win32 window forwards its messages here and performs the host's calls.
#include "app/MouseChord.h"
#include "app/TrayMenu.h"

#include <string>
#include <vector>

enum TMainTimer : unsigned { mtStartUp = 1, mtCheckUpdates = 2 };

class TMainFormHost {
public:
    virtual ~TMainFormHost() = default;
    virtual void SetTimer(TMainTimer timer, unsigned ms) = 0;
    virtual void KillTimer(TMainTimer timer) = 0;
    // Blocks the GUI thread: lets the tray menu leave the screen.
    virtual void Pause(unsigned ms) = 0;
    // Queues a capture on the GUI thread, after the current message.
    virtual void PostCaptureRequest() = 0;
    virtual void RequestAreaCapture() = 0;
    virtual void ShowOfferWindow() = 0;
    virtual void OpenSupportPage() = 0;
    virtual void OpenSurveyPage() = 0;
    virtual void RunSettingsCommand() = 0;
    virtual void StartUpdateCheck() = 0;
    virtual void CheckUpdatesIfDue() = 0;
    virtual void RunAboutCommand() = 0;
    // True when the welcome window closed with OK.
    virtual bool ShowWelcomeModal() = 0;
    virtual void Quit() = 0;
};

class TMainFormLogic {
public:
    static constexpr unsigned StartUpDelay = 1000;
    static constexpr unsigned CheckUpdatesDelay = 10000;
    static constexpr unsigned MenuVanishDelay = 500;

    TMainFormLogic(TMainFormHost& host, std::vector<std::wstring> args)
        : FHost(host), FArgs(std::move(args)) {}

    void FormCreate();
    void TrayIcon1Click() { FHost.RequestAreaCapture(); }
    void RunMenuCommand(TTrayCommand command);
    void TimerTick(TMainTimer timer);
    // One low-level mouse event; true when the hook must swallow it. The
    // capture itself is posted: a hook that runs long is dropped by the system.
    bool MouseHookEvent(std::uint32_t message, bool twoMouseEnabled);

private:
    void Timer1Timer();
    void TimerCheckUpdatesTimer();
    void SetCheckUpdatesTimer(bool enabled);

    TMainFormHost& FHost;
    std::vector<std::wstring> FArgs;
    TMouseChord FChord;
    bool FCheckUpdatesOn = false;
};
