#pragma once
// A windowless control on a form: bounds, enabled, visible, hint, cursor,
// font and colour; it paints into the form's back buffer through a TCanvas
// and takes the mouse as the form dispatches it. It behaves like the window
// toolkit's paint box: a click is a left press and release over the control,
// OnClick fires before OnMouseUp, the second press of a double click fires
// OnDblClick and then a press with ssDouble (and no click on its release).
//
// Controls live as members of their form (or of a composite control); the
// form keeps them in creation order, later ones on top.
#include "gfx/Rect.h"
#include "gfx/ViewMouse.h"
#include "ui/Canvas.h"
#include "ui/Font.h"

#include <functional>
#include <string>

class TForm;
class TFormHost;
class TGraphicControl;

using TNotifyEvent = std::function<void(TGraphicControl& sender)>;
using TControlMouseEvent = std::function<void(TGraphicControl& sender, const TViewMouse& m)>;
using TPaintEvent = std::function<void(TGraphicControl& sender, TCanvas& canvas)>;

class TGraphicControl {
public:
    // A new control is 32 x 32 at (0, 0), visible and enabled.
    explicit TGraphicControl(TForm& owner);
    virtual ~TGraphicControl();
    TGraphicControl(const TGraphicControl&) = delete;
    TGraphicControl& operator=(const TGraphicControl&) = delete;

    TForm& Owner() const { return FOwner; }

    int Left() const { return FBounds.Left; }
    int Top() const { return FBounds.Top; }
    int Width() const { return FBounds.Width(); }
    int Height() const { return FBounds.Height(); }
    // In form client coordinates.
    const TRect& BoundsRect() const { return FBounds; }
    TRect ClientRect() const { return {0, 0, Width(), Height()}; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }

    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    const std::wstring& Hint() const { return FHint; }
    void SetHint(std::wstring hint);
    TCursorKind Cursor() const { return FCursor; }
    void SetCursor(TCursorKind cursor) { FCursor = cursor; }

    TFont Font;
    TColor Color = 0x00FFFFFF;

    // Asks the form to repaint the control's bounds (the toolkit's Repaint;
    // painting happens when the host next composes).
    void Invalidate();
    void Repaint() { Invalidate(); }

    // Called by the form; coordinates are the control's own.
    virtual void Paint(TCanvas& canvas);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseDown(const TViewMouse& m);
    virtual void MouseMove(const TViewMouse& m);
    virtual void MouseUp(const TViewMouse& m);
    virtual void Click();
    virtual void DblClick();
    // The form got or lost its window; composite controls make or drop their
    // platform parts here.
    virtual void HostChanged(TFormHost*) {}

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TControlMouseEvent OnMouseDown;
    TControlMouseEvent OnMouseMove;
    TControlMouseEvent OnMouseUp;
    TPaintEvent OnPaint;

protected:
    // After the bounds changed (composites lay out their parts).
    virtual void Resize() {}

private:
    TForm& FOwner;
    TRect FBounds{0, 0, 32, 32};
    bool FEnabled = true;
    bool FVisible = true;
    std::wstring FHint;
    TCursorKind FCursor = crDefault;
};
