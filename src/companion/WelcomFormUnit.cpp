#include "companion/WelcomFormUnit.h"

#include "ui/Artwork.h"

TWelcomForm::TWelcomForm(const TTextRasterizer& text, TDialogServices& services)
    : TCompanionForm(text, services, FormWidth, FormHeight, L"Добро пожаловать") {
    Color = 0x0042220C;
    imgBackground.SetBounds(0, 0, FormWidth, FormHeight);
    imgBackground.SetPicture(TPicture(ArtPicture("bg.welcome"), false));
    DragBy(imgBackground);
    lbTitle.SetAutoSize(false);
    lbTitle.Alignment = taCenter;
    lbTitle.SetBounds(0, 180, FormWidth, 30);
    lbTitle.SetFont(TFont::Pixels(L"Noto Sans", 22, fsBold, 0xFFFFFF));
    lbTitle.SetCaption(L"Kadrix установлен!");
    DragBy(lbTitle);
    lbText.SetAutoSize(false);
    lbText.Alignment = taCenter;
    lbText.SetBounds(0, 214, FormWidth, 20);
    lbText.SetFont(TFont::Pixels(L"Noto Sans", 14, 0, 0xD6D6D6));
    lbText.SetCaption(L"Нажмите Print Screen или кнопку ниже, чтобы сделать первый снимок.");
    DragBy(lbText);
    btScreenshot.SetBounds((FormWidth - 200) / 2, 246, 200, 42);
    SetButtonStates(btScreenshot, "button.capture.200x42");
    btScreenshot.SetCursor(crHandPoint);
    btScreenshot.SetOffsetTextX(10);
    btScreenshot.SetText(L"Сделать скриншот");
    btScreenshot.OnClick = [this](TGraphicControl&) { CloseWith(mrOk); };
    btClose.SetBounds(FormWidth - 14 - 10, 10, 14, 14);
    SetButtonStates(btClose, "close.14");
    btClose.SetHint(L"Закрыть");
    btClose.OnClick = [this](TGraphicControl&) { CloseWith(mrCancel); };
    imgLink.SetBounds(20, FormHeight - 32 - 11, 107, 23);
    imgLink.SetNormalImage(TPicture(ArtPicture("link.site")));
    imgLink.SetCursor(crHandPoint);
    imgLink.OnClick = [this](TGraphicControl&) {
        Services().OpenPage({false, L"/take-screenshot.php"});
    };
    FormCreate();
}

void TWelcomForm::FormCreate() {
    btScreenshot.Font = TFont::Pixels(L"Noto Sans", 15, fsBold, 0xFFFFFF);
}
