#include "companion/OfferZeltUnit.h"

#include "companion/SurveyState.h"
#include "ui/Artwork.h"

TFormOfferZelt* FormOfferZelt = nullptr;

TFormOfferZelt::TFormOfferZelt(const TTextRasterizer& text, TDialogServices& services)
    : TCompanionForm(text, services, FormWidth, FormHeight, L"Записать видео") {
    Color = 0x0042220C;
    imgBackground.SetBounds(0, 0, FormWidth, FormHeight);
    imgBackground.SetPicture(TPicture(ArtPicture("bg.offer"), false));
    DragBy(imgBackground);
    lbTitle.SetBounds(48, 120, 0, 0);
    lbTitle.SetFont(TFont::Pixels(L"Open Sans", 30, fsBold, 0xFFFFFF));
    lbTitle.SetCaption(L"Записывайте видео\nс экрана");
    DragBy(lbTitle);
    lbText.SetAutoSize(false);
    lbText.WordWrap = true;
    lbText.SetBounds(48, 222, 400, 80);
    lbText.SetFont(TFont::Pixels(L"Open Sans", 16, 0, 0xD6D6D6));
    lbText.SetCaption(L"Покажите, как это работает: запишите экран со звуком, "
                      L"выделите главное и поделитесь ссылкой.");
    DragBy(lbText);
    btMore.SetBounds(48, 340, 246, 54);
    SetButtonStates(btMore, "button.more.246x54");
    btMore.SetCursor(crHandPoint);
    btMore.SetOffsetTextX(-25);
    btMore.SetText(L"УЗНАТЬ БОЛЬШЕ");
    btMore.OnClick = [this](TGraphicControl&) { btMoreClick(); };
    btClose.SetBounds(FormWidth - 32 - 10, 10, 32, 32);
    SetButtonStates(btClose, "close.32");
    btClose.SetHint(L"Закрыть");
    btClose.OnClick = [this](TGraphicControl&) { btCloseClick(); };
    FormCreate();
}

void TFormOfferZelt::FormCreate() {
    btMore.Font = TFont::Pixels(L"Open Sans", 16, fsBold, 0xFFFFFF);
}

void TFormOfferZelt::btMoreClick() {
    Services().OpenPage(ProductConstants::OfferPage);
    try {
        PostponeOffer(Services().Registry(), Services().Now(), OfferMoreDays);
    } catch (const std::exception&) {
    }
    CloseWith(mrOk);
}

void TFormOfferZelt::btCloseClick() {
    try {
        PostponeOffer(Services().Registry(), Services().Now(), OfferCloseDays);
    } catch (const std::exception&) {
    }
    CloseWith(mrCancel);
}
