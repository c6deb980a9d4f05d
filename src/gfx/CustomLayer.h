#pragma once
// A layer of the image view: something painted over the working image that
// may take the mouse. The view owns its layers; a layer keeps a reference to
// its view for the whole of its life and asks it for repaints through
// Changed(). All coordinates are view coordinates.
#include "gfx/Bitmap32.h"
#include "gfx/Rect.h"
#include "gfx/ViewMouse.h"

#include <cstdint>

class TImageView;

constexpr std::uint32_t LOB_VISIBLE = 0x80000000u;
constexpr std::uint32_t LOB_MOUSE_EVENTS = 0x20000000u;

class TCustomLayer {
public:
    // Created through TImageView::AddLayer, which passes the view first.
    explicit TCustomLayer(TImageView& view) : FView(view) {}
    virtual ~TCustomLayer() = default;
    TCustomLayer(const TCustomLayer&) = delete;
    TCustomLayer& operator=(const TCustomLayer&) = delete;

    TImageView& View() const { return FView; }
    // Position in the view's stack, 0 = bottom; -1 while not in it.
    int Index() const;

    std::uint32_t LayerOptions() const { return FLayerOptions; }
    // Showing or hiding the layer repaints what it covers.
    void SetLayerOptions(std::uint32_t options);
    bool Visible() const { return (FLayerOptions & LOB_VISIBLE) != 0; }
    void SetVisible(bool visible);
    bool MouseEvents() const { return (FLayerOptions & LOB_MOUSE_EVENTS) != 0; }

    TCursorKind Cursor() const { return FCursor; }
    void SetCursor(TCursorKind cursor) { FCursor = cursor; }

    // Everything the layer may paint; the whole view unless a subclass knows
    // better. Used to repaint on show, hide, removal and Changed().
    virtual TRect Bounds() const;
    virtual bool HitTest(int x, int y) const;
    virtual void MouseDown(const TViewMouse&) {}
    virtual void MouseMove(const TViewMouse&) {}
    virtual void MouseUp(const TViewMouse&) {}
    // Draws over buffer; must not write a pixel outside clip.
    virtual void Paint(TBitmap32& buffer, const TRect& clip);

    // Asks the view to repaint area (nothing happens while hidden: a hidden
    // layer's pixels are not on screen, and showing it repaints them).
    void Changed(const TRect& area);
    void Changed() { Changed(Bounds()); }

private:
    TImageView& FView;
    std::uint32_t FLayerOptions = LOB_VISIBLE | LOB_MOUSE_EVENTS;
    TCursorKind FCursor = crDefault;
};
