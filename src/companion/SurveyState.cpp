#include "companion/SurveyState.h"

#include "support/LocalDate.h"

namespace {
std::uint32_t CloseCount(const TRegKey& key) {
    return key.ReadDword(SurveyCloseCountValue).value_or(0);
}
} // namespace

void TSurveyState::InitSurveyState(TRegistry& registry) {
    const auto key = OpenSettingsKey(&registry);
    if (!key) return;
    if (key->ValueExists(SurveySeeSiteValue))
        SurveyPhaseOver = true;
    else
        SurveyPhaseOver = static_cast<std::int32_t>(CloseCount(*key)) > 3;
}

void TSurveyState::ShowSurveyOrOffer(TRegistry& registry, TDate now, TCompanionWindows& windows) {
    if (SurveyPhaseOver) {
        ShowOfferIfDue(registry, now, windows);
        return;
    }
    if (windows.SurveyOpen()) return;
    std::uint32_t n = 0;
    try {
        const auto key = OpenSettingsKey(&registry);
        if (!key || key->ValueExists(SurveySeeSiteValue)) return;
        n = CloseCount(*key) + 1;
        key->WriteDword(SurveyCloseCountValue, n);
    } catch (const std::exception&) {
        return;
    }
    if (n == 1) windows.ShowOffer();
    if (n == 3) windows.ShowSurvey();
}

void TSurveyState::ShowOfferIfDue(TRegistry& registry, TDate now, TCompanionWindows& windows) {
    if (DateOnly(now) > ReadRegDate(registry, ShowOfferValue)) windows.ShowOffer();
}

void PostponeOffer(TRegistry& registry, TDate now, int days) {
    WriteRegDate(registry, ShowOfferValue, DateOnly(now) + days);
}

void MarkSurveySeeSite(TRegistry& registry) {
    if (const auto key = OpenSettingsKey(&registry)) key->WriteBool(SurveySeeSiteValue, true);
}
