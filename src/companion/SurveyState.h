#pragma once
// Which companion window an output action brings up: the offer on the first
// counted action, the rating survey on the third, and once the survey phase
// is over the offer again whenever the date its buttons wrote has passed.
#include "settings/Registry.h"
#include "settings/SettingsUnit.h"

#include <string_view>

inline constexpr std::wstring_view SurveyCloseCountValue = L"SurveyCloseCount";
inline constexpr std::wstring_view SurveySeeSiteValue = L"SurveySeeSite";
inline constexpr std::wstring_view ShowOfferValue = L"ShowOffer";
inline constexpr int OfferMoreDays = 10; // "УЗНАТЬ БОЛЬШЕ"
inline constexpr int OfferCloseDays = 5; // the close cross

// The windows the rules show (GUI thread).
class TCompanionWindows {
public:
    virtual ~TCompanionWindows() = default;
    // Shows the long-lived offer window unless it is showing.
    virtual void ShowOffer() = 0;
    virtual bool SurveyOpen() const = 0;
    virtual void ShowSurvey() = 0;
};

class TSurveyState {
public:
    // Start-up: a clicked star or more than three counted actions end the
    // phase for this run. A count of the wrong type counts as missing.
    void InitSurveyState(TRegistry& registry);
    // After every finished copy, save or upload.
    void ShowSurveyOrOffer(TRegistry& registry, TDate now, TCompanionWindows& windows);
    void ShowOfferIfDue(TRegistry& registry, TDate now, TCompanionWindows& windows);

    bool SurveyPhaseOver = false;
};

// The offer's buttons: not shown automatically again before today + days.
void PostponeOffer(TRegistry& registry, TDate now, int days);
// A star was clicked: no more counting.
void MarkSurveySeeSite(TRegistry& registry);
