#include "app/MainFormLogic.h"

void TMainFormLogic::FormCreate() {
    SetCheckUpdatesTimer(true);
    FHost.SetTimer(mtStartUp, StartUpDelay);
}

void TMainFormLogic::RunMenuCommand(TTrayCommand command) {
    switch (command) {
    case TTrayCommand::tcScreenshot:
        FHost.Pause(MenuVanishDelay);
        FHost.RequestAreaCapture();
        break;
    case TTrayCommand::tcRecordVideo:
        FHost.ShowOfferWindow();
        break;
    case TTrayCommand::tcSupport:
        FHost.OpenSupportPage();
        break;
    case TTrayCommand::tcSettings:
        FHost.RunSettingsCommand();
        break;
    case TTrayCommand::tcFeedback:
        FHost.OpenSurveyPage();
        break;
    case TTrayCommand::tcCheckUpdate:
        FHost.StartUpdateCheck();
        break;
    case TTrayCommand::tcAbout:
        FHost.RunAboutCommand();
        break;
    case TTrayCommand::tcExit:
        FHost.Quit();
        break;
    case TTrayCommand::tcNone:
        break;
    }
}

void TMainFormLogic::TimerTick(TMainTimer timer) {
    if (timer == mtStartUp)
        Timer1Timer();
    else if (timer == mtCheckUpdates)
        TimerCheckUpdatesTimer();
}

void TMainFormLogic::Timer1Timer() {
    FHost.KillTimer(mtStartUp);
    if (IsInstallCommandLine(FArgs) && FHost.ShowWelcomeModal()) FHost.RequestAreaCapture();
    SetCheckUpdatesTimer(true);
}

void TMainFormLogic::SetCheckUpdatesTimer(bool enabled) {
    // Switching on a running timer must not restart its countdown.
    if (enabled == FCheckUpdatesOn) return;
    FCheckUpdatesOn = enabled;
    if (enabled)
        FHost.SetTimer(mtCheckUpdates, CheckUpdatesDelay);
    else
        FHost.KillTimer(mtCheckUpdates);
}

void TMainFormLogic::TimerCheckUpdatesTimer() {
    SetCheckUpdatesTimer(false);
    FHost.CheckUpdatesIfDue();
}

bool TMainFormLogic::MouseHookEvent(std::uint32_t message, bool twoMouseEnabled) {
    if (!FChord.OnMessage(message, twoMouseEnabled)) return false;
    FHost.PostCaptureRequest();
    return true;
}
