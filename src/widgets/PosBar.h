#pragma once
// An owner-drawn slider: a thumb that sets a 64-bit position between Min and
// Max, drawn as a flat gauge or over a track picture, with an optional pair of
// cut handles that select a sub-range. Horizontal or vertical (measured from
// the bottom edge upward).
//
// Held at all times: Min <= Position <= Max, Min <= CutBegin <= CutEnd <= Max
// and 0 <= MinCutSize <= CutEnd - CutBegin. A range of one value or a track
// without pixels maps every pixel to Min and every value to the track start.
#include "gfx/Point.h"
#include "ui/GraphicControl.h"
#include "ui/Picture.h"

#include <cstdint>
#include <functional>

enum TPosBarStyle : std::uint8_t { pbsGauge, pbsTrackBar };

enum TMovingState : std::uint8_t { msNone, msProgress, msLeftCut, msRightCut };

class TPosbar;

// Always reports the bar's current Position, whatever is being dragged.
using TPositionEvent =
    std::function<void(TPosbar& sender, TMovingState state, std::int64_t newPosition)>;

class TPosbar : public TGraphicControl {
public:
    explicit TPosbar(TForm& owner);

    std::int64_t Min() const { return FMin; }
    std::int64_t Max() const { return FMax; }
    std::int64_t Position() const { return FPosition; }
    // Min above Max pulls Max up to it, Max below Min pulls Min down.
    void SetMin(std::int64_t value);
    void SetMax(std::int64_t value);
    // Fires no event.
    void SetPosition(std::int64_t value);

    bool CutMode() const { return FCutMode; }
    std::int64_t CutBegin() const { return FCutBegin; }
    std::int64_t CutEnd() const { return FCutEnd; }
    std::int64_t MinCutSize() const { return FMinCutSize; }
    void SetCutMode(bool value);
    void SetCutBegin(std::int64_t value);
    void SetCutEnd(std::int64_t value);
    void SetMinCutSize(std::int64_t value);

    TPosBarStyle Style() const { return FStyle; }
    bool BarVisible() const { return FBarVisible; }
    bool VerticalOrientation() const { return FVertical; }
    TColor BackColor() const { return FBackColor; }
    TColor ForeColor() const { return FForeColor; }
    TColor BorderColor() const { return FBorderColor; }
    // Bar thickness, at least 3.
    int Size() const { return FSize; }
    void SetStyle(TPosBarStyle value);
    void SetBarVisible(bool value);
    void SetVerticalOrientation(bool value);
    void SetBackColor(TColor value);
    void SetForeColor(TColor value);
    void SetBorderColor(TColor value);
    void SetSize(int value);

    const TPicture& ThumbImage() const { return FThumbImage; }
    const TPicture& BgImage() const { return FBgImage; }
    const TPicture& CutLeftImage() const { return FCutLeftImage; }
    const TPicture& CutRightImage() const { return FCutRightImage; }
    void SetThumbImage(const TPicture& picture);
    void SetBgImage(const TPicture& picture);
    void SetCutLeftImage(const TPicture& picture);
    void SetCutRightImage(const TPicture& picture);

    TPositionEvent OnChangePosBegin;
    TPositionEvent OnChangePosMoving;
    TPositionEvent OnChangePosEnd;

    void Paint(TCanvas& canvas) override;
    void MouseDown(const TViewMouse& m) override;
    void MouseMove(const TViewMouse& m) override;
    void MouseUp(const TViewMouse& m) override;

private:
    // Along the bar: Start and Length of the track; across it: the bar's
    // offset and thickness.
    struct TTrack {
        int Start, Length, Cross, Thick;
    };

    TTrack Track() const;
    int Along(const TPicture& p) const { return FVertical ? p.Height() : p.Width(); }
    int Across(const TPicture& p) const { return FVertical ? p.Width() : p.Height(); }
    int CrossExtent() const { return FVertical ? Width() : Height(); }
    void SetCrossExtent(int value);
    // The control rectangle spanning [a, b) along the bar and [c0, c1) across.
    TRect AlongRect(int a, int b, int c0, int c1) const;
    TRect CutRect(bool left, const TTrack& t) const;
    std::int64_t PointerOffset(const TViewMouse& m, const TTrack& t) const;
    int PixelOffset(std::int64_t value, int length) const;
    std::int64_t ValueAt(std::int64_t offset, int length) const;
    void ClampCuts();
    void Follow(const TViewMouse& m);
    void InvalidateUnlessMoving();

    bool FVertical = false;
    bool FBarVisible = true;
    std::int64_t FMin = 0, FMax = 100, FPosition = 50;
    std::int64_t FCutDxDy = 0; // grabbed handle's track offset minus the pointer's
    bool FCutMode = false;
    std::int64_t FCutBegin = 0, FCutEnd = 100;
    std::int64_t FMinCutSize = 0;
    TPicture FCutLeftImage, FCutRightImage;
    TPicture FBgImage;
    TPosBarStyle FStyle = pbsGauge;
    TColor FBackColor = 0xFFFFFF;
    TColor FForeColor = 0x808080;
    TColor FBorderColor = 0;
    int FSize = 10;
    TPicture FThumbImage;
    TPoint OldMousePos;
    TMovingState FMoving = msNone;
    std::int64_t FMovingPosition = 0;
};
