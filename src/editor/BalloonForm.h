#pragma once
// The shaped pop-up both sub-panels of the tools panel are made of: a
// balloon whose outline is its picture's non-key pixels and whose pointer
// faces the tools panel. Opened above the tools panel it is flipped, and
// the controls move up with the body.
#include "ui/Form.h"
#include "ui/Image.h"

#include <functional>
#include <vector>

class TBalloonForm : public TForm {
public:
    static constexpr TColor FormColor = 3283465;
    static constexpr int KeyEscape = 27;

    // outline: the picture that gives the window its shape; key: the colour
    // outside it.
    TBalloonForm(const TTextRasterizer& text, const TBitmap32& outline, TColor32 key);

    // Shapes, arranges and shows the panel; flip when it opens above the
    // tools panel.
    void Show(bool flip);
    bool Flipped() const { return FFlipped; }
    // The outline applied last (client coordinates), empty before the first
    // show.
    const std::vector<TRect>& WindowRgn() const { return FWindowRgn; }

    void KeyDown(int key, TShiftState) override;

    // The window's outline changed (the shell makes it the window region).
    std::function<void(const std::vector<TRect>& runs)> OnRegion;
    // A choice was made: the keyboard goes back to the overlay.
    std::function<void()> OnFocusOverlay;
    // Esc: the overlay's close test.
    std::function<void()> OnTestClose;

protected:
    // Vertical positions of the controls for the body below (false) or
    // above (true) the pointer.
    virtual void ArrangeControls(bool flip) = 0;
    void FocusOverlay() const {
        if (OnFocusOverlay) OnFocusOverlay();
    }

private:
    TBitmap32 FOutline;
    TColor32 FKey;
    bool FFlipped = false;
    std::vector<TRect> FWindowRgn;
    // The outline's own pixels (edge and body) paint the background.
    TImage FBackground{*this};
};
