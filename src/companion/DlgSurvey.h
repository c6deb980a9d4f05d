#pragma once
// The one-time rating survey: hovering fills the stars up to the pointer, a
// click on any star opens the rating page and ends the survey phase; the
// title drags the window by hand, the rest of the background by the system.
#include "companion/CompanionForm.h"
#include "gfx/Point.h"
#include "ui/Label.h"

#include <array>

class TFormSurvey : public TCompanionForm {
public:
    static constexpr int FormWidth = 592, FormHeight = 260;
    static constexpr int StarCount = 5, StarSize = 40, StarStep = 51, StarsTop = 112;
    static constexpr TColor LinkColor = 0xB2B2B2, LinkHotColor = 0xD6D6D6;

    TFormSurvey(const TTextRasterizer& text, TDialogServices& services);

    TLabel lbTitle{*this};
    std::array<TImageButton, StarCount> Stars{TImageButton{*this}, TImageButton{*this},
                                              TImageButton{*this}, TImageButton{*this},
                                              TImageButton{*this}};
    TLabel lbLater{*this};
    TImageButton btClose{*this};

    bool IsTitleMoving = false;
    TPoint TitleLastPoint;

    void FormShow() override;
    void StarMouseEnter(int index);
    void StarMouseLeave();
    void StarClick();
    void lbLaterMouseMove();
    void lbLaterMouseLeave();
    void lbTitleMouseDown(const TViewMouse& m);
    void lbTitleMouseMove(const TViewMouse& m);
    void lbTitleMouseUp();

    // Window state for the title drag (a maximised or minimised window does
    // not move); true unless the host says otherwise.
    std::function<bool()> IsNormalState;

private:
    TPoint ScreenPoint(const TViewMouse& m) const;
    void SetLaterHot(bool hot);
};
