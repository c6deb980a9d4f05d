// The new-version dialog and the companion windows in the states worth a
// look: hover on the stars and the link, the survey as it opens.
#include "Views.h"
#include "companion/AboutFormUnit.h"
#include "companion/DlgSurvey.h"
#include "companion/OfferZeltUnit.h"
#include "companion/WelcomFormUnit.h"
#include "update/NewVersionFormUnit.h"

namespace {
class TNoRegistry final : public TRegistry {
public:
    bool KeyExists(std::wstring_view) const override { return false; }
    std::unique_ptr<TRegKey> OpenKey(std::wstring_view, bool) override { return nullptr; }
};

class TNoServices final : public TDialogServices {
public:
    TRegistry& Registry() override { return FRegistry; }
    TDate Now() override { return 46082; }
    void OpenPage(const TServicePage&) override {}
    void StartWindowDrag(TForm&) override {}

private:
    TNoRegistry FRegistry;
};

template <class TF, class F> TBitmap32 Paint(const TTextRasterizer& text, F setUp) {
    TNoServices services;
    TF form(text, services);
    setUp(form);
    return Snapshot(form);
}
} // namespace

std::vector<TWindowEntry> WithCompanionWindows(std::vector<TWindowEntry> entries) {
    using T = const TTextRasterizer&;
    std::vector<TWindowEntry> companions = {
        {"window-new-version.png", L"New version dialog",
         [](T t) {
             return Paint<TNewVersionForm>(
                 t, [](TNewVersionForm& f) { f.LabelNewVersion.SetCaption(L"Версия: 2.16"); });
         }},
        {"window-welcome.png", L"Welcome window",
         [](T t) { return Paint<TWelcomForm>(t, [](TWelcomForm&) {}); }},
        {"window-about.png", L"About window",
         [](T t) { return Paint<TAboutForm>(t, [](TAboutForm&) {}); }},
        {"window-offer.png", L"Offer window",
         [](T t) { return Paint<TFormOfferZelt>(t, [](TFormOfferZelt&) {}); }},
        {"window-survey-open.png", L"Survey as it opens (all stars down)",
         [](T t) { return Paint<TFormSurvey>(t, [](TFormSurvey& f) { f.Show(); }); }},
        {"window-survey-hover.png", L"Survey, pointer on the third star, link hot",
         [](T t) {
             return Paint<TFormSurvey>(t, [](TFormSurvey& f) {
                 f.Show();
                 f.StarMouseLeave();
                 f.StarMouseEnter(2);
                 f.lbLaterMouseMove();
             });
         }},
    };
    for (auto& e : companions)
        entries.push_back(std::move(e));
    return entries;
}
