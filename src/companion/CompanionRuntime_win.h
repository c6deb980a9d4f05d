#pragma once
// The process-wide parts of the companion windows, the update check and the
// shutter sound: made once the overlay exists, gone before it. The entry
// points of app/Forms_win.h reach them through CompanionRuntime.
#include "companion/AboutFormUnit.h"
#include "companion/DialogHost_win.h"
#include "companion/DlgSurvey.h"
#include "companion/OfferZeltUnit.h"
#include "companion/SurveyState.h"
#include "support/AudioPlayer.h"
#include "support/GuiDispatcher_win.h"
#include "update/ActionUpdates.h"

#include <memory>

class TSetRegionForm;

class TCompanionRuntime final : private TCompanionWindows, private TUpdateHost {
public:
    TCompanionRuntime(const TTextRasterizer& text, TSetRegionForm& overlay);
    ~TCompanionRuntime() override;
    TCompanionRuntime(const TCompanionRuntime&) = delete;
    TCompanionRuntime& operator=(const TCompanionRuntime&) = delete;

    void ShowSurveyOrOffer();
    void ShowOfferWindow();
    void RunAboutCommand();
    bool ShowWelcomeModal();
    TUpdateChecker& Updates() { return FUpdates; }
    TAudioPlayer& Player() { return *FPlayer; }
    HWND AboutHandle() const;

private:
    // TCompanionWindows
    void ShowOffer() override { ShowOfferWindow(); }
    bool SurveyOpen() const override;
    void ShowSurvey() override;
    // TUpdateHost
    TRegistry& Registry() override;
    TDate Now() override;
    std::wstring UpdateFileUrl() override;
    std::wstring DownloadPageUrl() override;
    bool ShowNewVersion(const std::wstring& versionCaption) override;
    void OpenInShell(const std::wstring& address) override;

    HWND MainHandle() const;

    const TTextRasterizer& FText;
    TSetRegionForm& FOverlay;
    TWinGuiDispatcher FGui;
    TSurveyState FSurvey;
    THostedForm<TFormOfferZelt> FOffer;
    std::unique_ptr<THostedForm<TFormSurvey>> FSurveyWindow;
    std::unique_ptr<THostedForm<TAboutForm>> FAboutWindow;
    TUpdateChecker FUpdates;
    std::unique_ptr<TAudioPlayer> FPlayer;
};

extern TCompanionRuntime* CompanionRuntime;
