#include "companion/DlgSurvey.h"
#include "companion/OfferZeltUnit.h"
#include "companion/SurveyState.h"
#include "unit/fakes/FakeFormHost.h"
#include "unit/fakes/FakeTextRasterizer.h"
#include "unit/fakes/MemoryRegistry.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr TDate March1 = 46082.25, March6 = March1 + 5, March7 = March1 + 6;

class TRecordingWindows final : public TCompanionWindows {
public:
    void ShowOffer() override { Shown += L'O'; }
    bool SurveyOpen() const override { return SurveyShowing; }
    void ShowSurvey() override {
        Shown += L'S';
        SurveyShowing = true;
    }
    std::wstring Shown;
    bool SurveyShowing = false;
};

class TFakeServices final : public TDialogServices {
public:
    TRegistry& Registry() override { return Reg; }
    TDate Now() override { return Today; }
    void OpenPage(const TServicePage& page) override { Pages.emplace_back(page.Path); }
    void StartWindowDrag(TForm&) override { ++Drags; }
    TMemoryRegistry Reg;
    TDate Today = March1;
    std::vector<std::wstring> Pages;
    int Drags = 0;
};

// One run of the program: start-up, then output actions on given days; the
// letters of the windows each action showed ('-' for none).
std::wstring Actions(TRegistry& registry, std::initializer_list<TDate> actions,
                     bool surveyStaysOpen = false) {
    TSurveyState state;
    state.InitSurveyState(registry);
    TRecordingWindows windows;
    std::wstring trace;
    for (TDate day : actions) {
        windows.Shown.clear();
        state.ShowSurveyOrOffer(registry, day, windows);
        trace += windows.Shown.empty() ? L"-" : windows.Shown;
        windows.SurveyShowing = windows.SurveyShowing && surveyStaysOpen;
    }
    return trace;
}

TEST(Companion, StateTable) {
    TMemoryRegistry reg;
    // Fresh install: 1st action offer, 3rd survey; counting goes on this run.
    EXPECT_EQ(Actions(reg, {March1, March1, March1, March1, March1}), L"O-S--");
    EXPECT_EQ(reg.Get(SettingsKey, SurveyCloseCountValue), TRegValue::OfDword(5));
    // Next start: phase over, the offer shows until a button writes a date.
    EXPECT_EQ(Actions(reg, {March1, March1}), L"OO");
    PostponeOffer(reg, March1, OfferCloseDays);
    EXPECT_EQ(Actions(reg, {March1 + 0.7, March6, March6 + 0.7, March7}), L"---O");

    // A survey window open blocks counting; a clicked star ends it at once.
    TMemoryRegistry reg2;
    EXPECT_EQ(Actions(reg2, {March1, March1, March1, March1}, true), L"O-S-");
    EXPECT_EQ(reg2.Get(SettingsKey, SurveyCloseCountValue), TRegValue::OfDword(3));
    MarkSurveySeeSite(reg2);
    EXPECT_EQ(Actions(reg2, {}), L"");
    TSurveyState same;
    same.InitSurveyState(reg2);
    EXPECT_TRUE(same.SurveyPhaseOver);

    // Star clicked in this run: no more counting, nothing shown until restart.
    TMemoryRegistry reg3;
    EXPECT_EQ(Actions(reg3, {March1}), L"O");
    TSurveyState state;
    state.InitSurveyState(reg3);
    MarkSurveySeeSite(reg3);
    TRecordingWindows w;
    state.ShowSurveyOrOffer(reg3, March7, w);
    EXPECT_EQ(w.Shown, L"");
    EXPECT_EQ(reg3.Get(SettingsKey, SurveyCloseCountValue), TRegValue::OfDword(1));

    // A count of the wrong type counts as missing; a failing write shows nothing.
    TMemoryRegistry reg4;
    reg4.Put(SettingsKey, SurveyCloseCountValue, TRegValue::OfString(L"9"));
    EXPECT_EQ(Actions(reg4, {March1}), L"O");
    TMemoryRegistry reg5;
    reg5.FailingWrites.insert(std::wstring(SurveyCloseCountValue));
    EXPECT_EQ(Actions(reg5, {March1}), L"-");
}

TEST(Companion, OfferButtonsPostponeAndClose) {
    TFakeTextRasterizer text;
    TFakeServices services;
    TFormOfferZelt offer(text, services);
    TFakeFormHost host(offer);
    const struct {
        TImageButton TFormOfferZelt::*Button;
        TDate Until;
        std::vector<std::wstring> Pages;
    } cases[] = {
        {&TFormOfferZelt::btClose, March6, {}},
        {&TFormOfferZelt::btMore, March1 + 10, {L"/versiya-pro.php"}},
    };
    for (const auto& c : cases) {
        services.Pages.clear();
        offer.Show();
        (offer.*c.Button).Click();
        EXPECT_FALSE(offer.Showing());
        EXPECT_EQ(ReadRegDate(services.Reg, ShowOfferValue), std::floor(c.Until));
        EXPECT_EQ(services.Pages, c.Pages);
    }
}

TEST(Companion, SurveyStarsLinkAndTitleDrag) {
    TFakeTextRasterizer text;
    TFakeServices services;
    TFormSurvey survey(text, services);
    TFakeFormHost host(survey);
    int closed = 0;
    survey.OnClosed = [&] { ++closed; };
    survey.Show();
    auto downs = [&] {
        std::wstring s;
        for (const auto& star : survey.Stars)
            s += star.Down() ? L'*' : L'.';
        return s;
    };
    EXPECT_EQ(downs(), L"*****");
    survey.StarMouseLeave();
    survey.StarMouseEnter(2);
    EXPECT_EQ(downs(), L"***..");
    survey.StarMouseEnter(0); // the others keep their state
    EXPECT_EQ(downs(), L"***..");
    survey.StarMouseLeave();
    EXPECT_EQ(downs(), L".....");

    EXPECT_EQ(survey.lbLater.Font.Color, TFormSurvey::LinkColor);
    EXPECT_TRUE(survey.lbLater.Font.Style & fsUnderline);
    survey.lbLaterMouseMove();
    EXPECT_EQ(survey.lbLater.Font.Color, TFormSurvey::LinkHotColor);
    EXPECT_FALSE(survey.lbLater.Font.Style & fsUnderline);
    survey.lbLaterMouseLeave();
    EXPECT_EQ(survey.lbLater.Font.Color, TFormSurvey::LinkColor);

    const int x = survey.Left(), y = survey.Top();
    survey.lbTitleMouseDown(MouseAt(10, 5));
    survey.lbTitleMouseMove(MouseAt(40, -5));
    survey.lbTitleMouseUp();
    survey.lbTitleMouseMove(MouseAt(90, 90));
    EXPECT_EQ(std::pair(survey.Left(), survey.Top()), std::pair(x + 30, y - 10));
    survey.IsNormalState = [] { return false; }; // maximised: stays
    survey.lbTitleMouseDown(MouseAt(10, 5));
    survey.lbTitleMouseMove(MouseAt(40, 40));
    EXPECT_EQ(survey.Left(), x + 30);

    survey.Stars[3].Click();
    EXPECT_EQ(services.Pages, std::vector<std::wstring>{L"/survey215.php"});
    EXPECT_TRUE(services.Reg.Get(SettingsKey, SurveySeeSiteValue).has_value());
    EXPECT_FALSE(survey.Showing());
    EXPECT_EQ(closed, 1);
}
} // namespace
