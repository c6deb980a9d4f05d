#include "companion/DlgSurvey.h"

#include "companion/SurveyState.h"
#include "ui/Artwork.h"

TFormSurvey::TFormSurvey(const TTextRasterizer& text, TDialogServices& services)
    : TCompanionForm(text, services, FormWidth, FormHeight, L"Оценка программы") {
    Color = 0x0042220C;
    lbTitle.SetAutoSize(false);
    lbTitle.Alignment = taCenter;
    lbTitle.SetBounds(40, 52, FormWidth - 80, 30);
    lbTitle.SetFont(TFont::Pixels(L"Noto Sans", 21, fsBold, 0xFFFFFF));
    lbTitle.SetCaption(L"Вам понравилась программа Kadrix?");
    lbTitle.OnMouseDown = [this](TGraphicControl&, const TViewMouse& m) { lbTitleMouseDown(m); };
    lbTitle.OnMouseMove = [this](TGraphicControl&, const TViewMouse& m) { lbTitleMouseMove(m); };
    lbTitle.OnMouseUp = [this](TGraphicControl&, const TViewMouse&) { lbTitleMouseUp(); };

    const int left = (FormWidth - (StarCount - 1) * StarStep - StarSize) / 2;
    for (int i = 0; i < StarCount; ++i) {
        TImageButton& star = Stars[i];
        star.SetBounds(left + i * StarStep, StarsTop, StarSize, StarSize);
        SetButtonStates(star, "star.empty");
        star.SetNormalImage2(TPicture(ArtPicture("star.filled.normal")));
        star.SetMoveImage2(TPicture(ArtPicture("star.filled.hover")));
        star.SetDownImage2(TPicture(ArtPicture("star.filled.down")));
        star.SetCursor(crHandPoint);
        star.OnMouseEnter = [this, i](TGraphicControl&) { StarMouseEnter(i); };
        star.OnMouseLeave = [this](TGraphicControl&) { StarMouseLeave(); };
        star.OnClick = [this](TGraphicControl&) { StarClick(); };
    }

    lbLater.SetCaption(L"Оценить позже");
    SetLaterHot(false);
    lbLater.SetTop(190);
    lbLater.SetLeft((FormWidth - lbLater.Width()) / 2);
    lbLater.SetCursor(crHandPoint);
    lbLater.OnMouseMove = [this](TGraphicControl&, const TViewMouse&) { lbLaterMouseMove(); };
    lbLater.OnMouseLeave = [this](TGraphicControl&) { lbLaterMouseLeave(); };
    lbLater.OnClick = [this](TGraphicControl&) { CloseWith(mrCancel); };

    btClose.SetBounds(FormWidth - 38 - 6, 6, 38, 38);
    SetButtonStates(btClose, "close.38");
    btClose.SetHint(L"Закрыть");
    btClose.OnClick = [this](TGraphicControl&) { CloseWith(mrCancel); };
}

void TFormSurvey::FormShow() {
    CenterOnScreen();
    for (TImageButton& star : Stars)
        star.SetDown(true);
}

void TFormSurvey::StarMouseEnter(int index) {
    for (int i = 0; i <= index && i < StarCount; ++i)
        Stars[i].SetDown(true);
}

void TFormSurvey::StarMouseLeave() {
    for (TImageButton& star : Stars)
        star.SetDown(false);
}

void TFormSurvey::StarClick() {
    Services().OpenPage(ProductConstants::SurveyPage);
    try {
        MarkSurveySeeSite(Services().Registry());
    } catch (const std::exception&) {
    }
    CloseWith(mrOk);
}

void TFormSurvey::SetLaterHot(bool hot) {
    lbLater.SetFont(TFont::Pixels(L"Noto Sans", 14, hot ? 0u : unsigned(fsUnderline),
                                  hot ? LinkHotColor : LinkColor));
}

void TFormSurvey::lbLaterMouseMove() {
    SetLaterHot(true);
}

void TFormSurvey::lbLaterMouseLeave() {
    SetLaterHot(false);
}

TPoint TFormSurvey::ScreenPoint(const TViewMouse& m) const {
    // Title coordinates: the window's place turns them into screen points.
    return {Left() + lbTitle.Left() + m.X, Top() + lbTitle.Top() + m.Y};
}

void TFormSurvey::lbTitleMouseDown(const TViewMouse& m) {
    if (m.Button != mbLeft) return;
    IsTitleMoving = !IsNormalState || IsNormalState();
    TitleLastPoint = ScreenPoint(m);
}

void TFormSurvey::lbTitleMouseMove(const TViewMouse& m) {
    if (!IsTitleMoving) return;
    const TPoint p = ScreenPoint(m);
    if (p == TitleLastPoint) return;
    SetPosition(Left() + p.X - TitleLastPoint.X, Top() + p.Y - TitleLastPoint.Y);
    TitleLastPoint = p;
}

void TFormSurvey::lbTitleMouseUp() {
    IsTitleMoving = false;
}
