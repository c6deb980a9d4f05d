#pragma once
// A window's content without the window: a client area in a background
// colour, windowless controls painted into a back buffer, timers, and the
// mouse dispatched to the controls as the toolkit does it. A host (the Win32
// window, a test double, the developer view) shows the buffer and feeds the
// input; without a host the form still paints and takes input, it just is
// not on any screen.
//
// Painting: changes are recorded as dirty rectangles and reported to the
// host; PaintDirty() composes each (background, then every visible control
// crossing it, in creation order, clipped to the control) and returns them
// for the host to show.
#include "gfx/Bitmap32.h"
#include "gfx/DirtyRegion.h"
#include "gfx/Point.h"
#include "gfx/TextRasterizer.h"
#include "gfx/ViewMouse.h"
#include "ui/GraphicControl.h"
#include "ui/Timer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TForm;
class TOrvikComboBox;

// A platform drop-down list behind a combo box (the system's own list).
class TComboList {
public:
    virtual ~TComboList() = default;
    virtual void SetItems(const std::vector<std::wstring>& items) = 0;
    virtual void SetItemIndex(int index) = 0;
    // Where the list's own box lies (form coordinates, kept out of sight);
    // its pop-up opens below that box, as wide as it, items itemHeight high.
    virtual void SetBounds(const TRect& bounds, int itemHeight) = 0;
    virtual void DropDown() = 0;
    virtual bool DroppedDown() const = 0;
};

// What a form needs from the window that shows it.
class TFormHost {
public:
    virtual ~TFormHost() = default;
    // Schedules a repaint of area (client coordinates).
    virtual void InvalidateArea(const TRect& area) = 0;
    virtual void ShowWindow() = 0;
    virtual void HideWindow() = 0;
    // The client area's place on the screen.
    virtual void PlaceWindow(const TRect& screenBounds) = 0;
    virtual void BringToFront() = 0;
    virtual void StartTimer(TTimer& timer) = 0;
    virtual void StopTimer(TTimer& timer) = 0;
    // Hints, bounds or visibility of controls changed.
    virtual void ControlsChanged() = 0;
    virtual TRect PrimaryWorkArea() const = 0;
    virtual std::unique_ptr<TComboList> CreateComboList(TOrvikComboBox& combo) = 0;
};

class TForm {
public:
    TForm(const TTextRasterizer& text, int clientWidth, int clientHeight);
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    const TTextRasterizer& TextRasterizer() const { return FText; }
    TFormHost* Host() const { return FHost; }
    // Attaching a host also hands it the running timers and a full repaint.
    void SetHost(TFormHost* host);

    int ClientWidth() const { return FBuffer.Width(); }
    int ClientHeight() const { return FBuffer.Height(); }
    TRect ClientRect() const { return FBuffer.BoundsRect(); }
    void SetClientSize(int width, int height);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    void SetPosition(int left, int top);
    TRect ScreenBounds() const {
        return {FLeft, FTop, FLeft + ClientWidth(), FTop + ClientHeight()};
    }

    TColor Color = 0x00321A09;
    std::wstring Caption;

    // Show runs FormShow first, as the toolkit does, then shows the window.
    void Show();
    // Hides the window; the form and its state stay.
    void Close();
    bool Showing() const { return FShowing; }
    virtual void FormShow() {}

    // --- painting
    const TBitmap32& Buffer() const { return FBuffer; }
    void Invalidate(const TRect& area);
    void InvalidateAll() { Invalidate(ClientRect()); }
    const std::vector<TRect>& DirtyRects() const { return FDirty.Rects(); }
    std::vector<TRect> PaintDirty();
    // A full paint into target, sized to the client area.
    void PaintTo(TBitmap32& target) const;

    // --- controls
    const std::vector<TGraphicControl*>& Controls() const { return FControls; }
    // Topmost visible control whose bounds hold (x, y); enabled ones only
    // unless allowDisabled.
    TGraphicControl* ControlAt(int x, int y, bool allowDisabled = false) const;

    // --- input in client coordinates, from the host
    void MouseDown(const TViewMouse& m);
    void MouseMove(const TViewMouse& m);
    void MouseUp(const TViewMouse& m);
    // The pointer left the window.
    void MouseLeave();
    // The window lost the mouse capture.
    void CaptureLost();
    // A key went down while the window had the keyboard focus.
    virtual void KeyDown(int /*key*/, TShiftState /*shift*/) {}
    TCursorKind CursorAt(int x, int y) const;
    TGraphicControl* MouseControl() const { return FMouseControl; }
    TGraphicControl* CaptureControl() const { return FCapture; }

    // Called by TGraphicControl and TTimer.
    void AddControl(TGraphicControl& c);
    void RemoveControl(TGraphicControl& c);
    void ControlsChanged();
    void AddTimer(TTimer& t) { FTimers.push_back(&t); }
    void RemoveTimer(TTimer& t);
    const std::vector<TTimer*>& Timers() const { return FTimers; }

    // The form's own mouse handlers run when no control takes the event
    // (forms dragged by their background use OnMouseDown).
    std::function<void(const TViewMouse&)> OnMouseDown;

private:
    void Compose(TBitmap32& target, const TRect& area) const;
    void UpdateMouseControl(int x, int y);
    bool Has(const TGraphicControl* c) const;

    const TTextRasterizer& FText;
    TFormHost* FHost = nullptr;
    TBitmap32 FBuffer;
    TDirtyRegion FDirty;
    int FLeft = 0, FTop = 0;
    bool FShowing = false;
    std::vector<TGraphicControl*> FControls;
    std::vector<TTimer*> FTimers;
    TGraphicControl* FMouseControl = nullptr; // under the pointer
    TGraphicControl* FCapture = nullptr;      // holds the mouse while a button is down
    bool FClicked = false;                    // a left press that may become a click
};
