#include "companion/CompanionRuntime_win.h"

#include "app/Forms_win.h"
#include "app/MainUnit_win.h"
#include "capture/SetRegionForm.h"
#include "companion/WelcomFormUnit.h"
#include "output/SystemProxy_win.h"
#include "settings/ServiceAddress.h"
#include "settings/SettingsUnit_win.h"
#include "support/DebugTrace.h"
#include "support/LocalDate.h"
#include "support/Utilities_win.h"
#include "support/WaveOutPlayer_win.h"
#include "update/NewVersionFormUnit.h"

TCompanionRuntime* CompanionRuntime = nullptr;

namespace {
constexpr wchar_t ShutterSoundFile[] = L"screenshoot.wav";

THttpGetOptions UpdateOptions() {
    THttpGetOptions options;
    options.ProxySource = &ReadSystemProxyConfig;
    return options;
}

void HideMainTaskbarButton() {
    try {
        if (MainForm) HideAppTaskbarButton(MainForm->Handle());
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPTION HideAppTaskbarButton: ", e);
    }
}
} // namespace

TCompanionRuntime::TCompanionRuntime(const TTextRasterizer& text, TSetRegionForm& overlay)
    : FText(text), FOverlay(overlay),
      FOffer(DialogStyle(L"TFormOfferZelt", MainHandle()), text, DialogServices()),
      FUpdates(*this, FGui, UpdateOptions()), FPlayer(CreateWaveOutPlayer()) {
    FSurvey.InitSurveyState(ProcessRegistry());
    FormOfferZelt = &FOffer.Form;
    FOverlay.SetSoundPlayer(FPlayer.get(), ExeDirectory() + ShutterSoundFile);
    CompanionRuntime = this;
}

TCompanionRuntime::~TCompanionRuntime() {
    CompanionRuntime = nullptr;
    FOverlay.SetSoundPlayer(nullptr, L"");
    FormOfferZelt = nullptr;
}

HWND TCompanionRuntime::MainHandle() const {
    return MainForm ? MainForm->Handle() : nullptr;
}

void TCompanionRuntime::ShowSurveyOrOffer() {
    FSurvey.ShowSurveyOrOffer(ProcessRegistry(), DateTimeNow(), *this);
}

void TCompanionRuntime::ShowOfferWindow() {
    if (FOffer.Form.Showing()) return;
    HideMainTaskbarButton();
    FOffer.Form.Show();
    ::SetForegroundWindow(FOffer.Window.Handle());
}

bool TCompanionRuntime::SurveyOpen() const {
    return FSurveyWindow && FSurveyWindow->Form.Showing();
}

void TCompanionRuntime::ShowSurvey() {
    if (SurveyOpen()) return;
    FSurveyWindow.reset();
    FSurveyWindow = std::make_unique<THostedForm<TFormSurvey>>(DialogStyle(L"TFormSurvey", nullptr),
                                                               FText, DialogServices());
    FSurveyWindow->Form.IsNormalState = [this] {
        return FSurveyWindow && !::IsZoomed(FSurveyWindow->Window.Handle()) &&
               !::IsIconic(FSurveyWindow->Window.Handle());
    };
    // Freed after the click that closed it has returned.
    FSurveyWindow->Form.OnClosed = [this] {
        FGui.Post([this] {
            if (FSurveyWindow && !FSurveyWindow->Form.Showing()) FSurveyWindow.reset();
        });
    };
    FSurveyWindow->Form.Show();
    ::SetForegroundWindow(FSurveyWindow->Window.Handle());
}

void TCompanionRuntime::RunAboutCommand() {
    if (FAboutWindow && FAboutWindow->Form.Showing()) {
        FAboutWindow->Window.BringToFront();
        ::SetForegroundWindow(FAboutWindow->Window.Handle());
        return;
    }
    FAboutWindow.reset();
    FAboutWindow = std::make_unique<THostedForm<TAboutForm>>(
        DialogStyle(L"TAboutForm", MainHandle()), FText, DialogServices());
    FAboutWindow->Form.OnClosed = [this] {
        FGui.Post([this] {
            if (FAboutWindow && !FAboutWindow->Form.Showing()) FAboutWindow.reset();
        });
    };
    HideMainTaskbarButton();
    FAboutWindow->Form.Show();
    ::SetForegroundWindow(FAboutWindow->Window.Handle());
}

HWND TCompanionRuntime::AboutHandle() const {
    return FAboutWindow ? FAboutWindow->Window.Handle() : nullptr;
}

bool TCompanionRuntime::ShowWelcomeModal() {
    try {
        ::OpenInShell(GetWelcomeUrl(ProcessRegistry()));
    } catch (const std::exception&) {
    }
    PumpMessagesFor(TWelcomForm::WelcomeDelayMs);
    THostedForm<TWelcomForm> welcome(DialogStyle(L"TWelcomForm", MainHandle()), FText,
                                     DialogServices());
    HideMainTaskbarButton();
    return RunModal(welcome.Form) == mrOk;
}

TRegistry& TCompanionRuntime::Registry() {
    return ProcessRegistry();
}

TDate TCompanionRuntime::Now() {
    return DateTimeNow();
}

std::wstring TCompanionRuntime::UpdateFileUrl() {
    return ServiceAddress(ProcessRegistry(), ProductConstants::UpdateFileEndpoint);
}

std::wstring TCompanionRuntime::DownloadPageUrl() {
    return ServiceAddress(ProcessRegistry(), ProductConstants::DownloadPage);
}

bool TCompanionRuntime::ShowNewVersion(const std::wstring& versionCaption) {
    THostedForm<TNewVersionForm> dialog(DialogStyle(L"TNewVersionForm", MainHandle()), FText,
                                        DialogServices());
    dialog.Form.LabelNewVersion.SetCaption(versionCaption);
    HideMainTaskbarButton();
    return RunModal(dialog.Form) == mrOk;
}

void TCompanionRuntime::OpenInShell(const std::wstring& address) {
    ::OpenInShell(address);
}

void ShowSurveyOrOffer() {
    if (!CompanionRuntime) return;
    try {
        CompanionRuntime->ShowSurveyOrOffer();
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPTION ShowSurveyOrOffer: ", e);
    }
}

// Entry points of app/Forms_win.h.
void RunAboutCommand() {
    if (CompanionRuntime) CompanionRuntime->RunAboutCommand();
}

void ShowOfferWindow() {
    if (CompanionRuntime) CompanionRuntime->ShowOfferWindow();
}

bool ShowWelcomeModal() {
    return CompanionRuntime && CompanionRuntime->ShowWelcomeModal();
}

void CheckUpdatesIfDue() {
    if (CompanionRuntime) CompanionRuntime->Updates().CheckUpdatesIfDue();
}

void StartUpdateCheck() {
    if (CompanionRuntime) CompanionRuntime->Updates().StartUpdateCheck();
}
