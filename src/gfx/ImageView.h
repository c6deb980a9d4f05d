#pragma once
// The capture overlay's layered image view, without any window. It shows the
// working image opaque and 1:1 from (0, 0), so view coordinates are image
// coordinates, and a stack of layers above it (index 0 at the bottom).
//
// Painting: changes are recorded as dirty rectangles and reported through
// OnInvalidate; the host (the overlay window) then calls ComposeDirty() and
// blits from Buffer(). Buffer() always holds the last composition, so areas
// the host needs again for its own reasons can be blitted without composing.
//
// Mouse: a press goes to the topmost visible layer that takes mouse events
// and whose hit test accepts the point; that layer keeps the mouse (moves
// and releases) until no button is held. The view's own handlers run after
// the layer's, with the layer, or null when none took the event or the layer
// was deleted while handling it.
#include "gfx/Bitmap32.h"
#include "gfx/CustomLayer.h"
#include "gfx/DirtyRegion.h"
#include "gfx/Rect.h"
#include "gfx/ViewMouse.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

class TImageView {
public:
    using TMouseEvent = std::function<void(const TViewMouse&, TCustomLayer* layer)>;
    using TInvalidateEvent = std::function<void(const TRect&)>;

    TImageView() = default;
    ~TImageView();
    // Layers keep a reference to their view.
    TImageView(const TImageView&) = delete;
    TImageView& operator=(const TImageView&) = delete;

    // The working image; the view takes its size. An empty image keeps the
    // buffer's memory for the next image of its size: a fresh screen-sized
    // buffer costs its page faults on the way to the first frame.
    const TBitmap32& Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap32 bitmap);
    // Makes every pixel of the working image opaque, without a repaint: no
    // composed frame shows the image's alpha. A screen grab's alpha means
    // nothing, and fixing it can wait until its first frame is on screen.
    void MakeOpaque();
    int Width() const { return FBitmap.Width(); }
    int Height() const { return FBitmap.Height(); }
    TRect BoundsRect() const { return FBitmap.BoundsRect(); }

    // Constructs T(view, args...) on top of the stack; the view owns it.
    template <class T, class... A> T* AddLayer(A&&... args);
    // Removes and frees the layer; false when it is not in this view.
    bool DeleteLayer(TCustomLayer* layer);
    int LayerCount() const { return int(FLayers.size()); }
    // Throws std::out_of_range.
    TCustomLayer* Layer(int index) const;
    int IndexOf(const TCustomLayer* layer) const;
    // Topmost visible layer taking mouse events whose hit test accepts (x, y).
    TCustomLayer* LayerAt(int x, int y) const;

    const TBitmap32& Buffer() const { return FBuffer; }
    void Invalidate(const TRect& area);
    void InvalidateAll();
    const std::vector<TRect>& DirtyRects() const { return FDirty.Rects(); }
    // Recomposes area of the buffer: the working image, then every visible
    // layer in index order, clipped to area.
    void Compose(const TRect& area);
    // Composes every dirty rectangle; returns them, for the host to blit.
    std::vector<TRect> ComposeDirty();
    // A full composition into target, sized to the view (the commit of a
    // stroke flattens the view with it).
    void PaintTo(TBitmap32& target);
    // Paints the visible ones of layers, in stack order, into the working
    // image inside area: the commit of a stroke. The screen already shows
    // the result, so nothing is repainted.
    void Flatten(const TRect& area, std::initializer_list<const TCustomLayer*> layers);

    void MouseDown(const TViewMouse& m);
    void MouseMove(const TViewMouse& m);
    void MouseUp(const TViewMouse& m);
    // The host lost the mouse (capture changed, overlay hidden): no layer
    // keeps it and no button counts as held.
    void ReleaseMouseCapture();
    TCustomLayer* MouseCapture() const { return FCapture; }

    TCursorKind Cursor() const { return FCursor; }
    void SetCursor(TCursorKind cursor) { FCursor = cursor; }
    // The cursor of the layer holding or under the pointer, unless it has no
    // preference (crDefault); otherwise the view's own.
    TCursorKind CurrentCursor() const;

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TInvalidateEvent OnInvalidate;

private:
    struct TLayerWatch;

    void InsertLayer(std::unique_ptr<TCustomLayer> layer);
    void CheckNotComposing() const;
    void ComposeArea(TBitmap32& target, const TRect& area);
    using THandler = void (TCustomLayer::*)(const TViewMouse&);
    void Dispatch(TCustomLayer* target, THandler handler, const TViewMouse& m,
                  const TMouseEvent& viewEvent);

    TBitmap32 FBitmap;
    TBitmap32 FBuffer;
    std::vector<std::unique_ptr<TCustomLayer>> FLayers;
    TDirtyRegion FDirty;
    bool FComposing = false;

    TCustomLayer* FCapture = nullptr;
    TShiftState FButtonsDown;
    bool FHasPointer = false;
    int FPointerX = 0;
    int FPointerY = 0;
    TCursorKind FCursor = crDefault;
    // Layer pointers held across a call into a layer; deleting a layer
    // clears them so nothing dangles.
    std::vector<TCustomLayer**> FWatches;
};

template <class T, class... A> T* TImageView::AddLayer(A&&... args) {
    static_assert(std::is_base_of_v<TCustomLayer, T>, "layers derive from TCustomLayer");
    CheckNotComposing();
    auto layer = std::make_unique<T>(*this, std::forward<A>(args)...);
    T* result = layer.get();
    InsertLayer(std::move(layer));
    return result;
}
