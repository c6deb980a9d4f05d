#include "gfx/ImageView.h"

#include <algorithm>
#include <stdexcept>

struct TImageView::TLayerWatch {
    TLayerWatch(TImageView& view, TCustomLayer* layer) : View(view), Layer(layer) {
        View.FWatches.push_back(&Layer);
    }
    ~TLayerWatch() { std::erase(View.FWatches, &Layer); }
    TLayerWatch(const TLayerWatch&) = delete;
    TLayerWatch& operator=(const TLayerWatch&) = delete;

    TImageView& View;
    TCustomLayer* Layer;
};

TImageView::~TImageView() {
    OnInvalidate = nullptr;
    // One at a time from the top: a layer's destructor may delete another
    // layer (a tool and its frame), which must find a consistent stack.
    while (!FLayers.empty()) {
        std::unique_ptr<TCustomLayer> top = std::move(FLayers.back());
        FLayers.pop_back();
    }
}

void TImageView::SetBitmap(TBitmap32 bitmap) {
    CheckNotComposing();
    FBitmap = std::move(bitmap);
    if (!FBitmap.Empty()) FBuffer.SetSize(FBitmap.Width(), FBitmap.Height());
    InvalidateAll();
}

void TImageView::MakeOpaque() {
    CheckNotComposing();
    for (int y = 0; y < FBitmap.Height(); ++y) {
        TColor32* row = FBitmap.Row(y);
        for (int x = 0; x < FBitmap.Width(); ++x)
            row[x] |= 0xFF000000u;
    }
}

void TImageView::InsertLayer(std::unique_ptr<TCustomLayer> layer) {
    FLayers.push_back(std::move(layer));
    if (FLayers.back()->Visible()) Invalidate(FLayers.back()->Bounds());
}

bool TImageView::DeleteLayer(TCustomLayer* layer) {
    CheckNotComposing();
    const auto it = std::find_if(FLayers.begin(), FLayers.end(),
                                 [&](const auto& l) { return l.get() == layer; });
    if (it == FLayers.end()) return false;
    std::unique_ptr<TCustomLayer> owned = std::move(*it);
    FLayers.erase(it);
    if (FCapture == layer) FCapture = nullptr;
    for (TCustomLayer** watch : FWatches)
        if (*watch == layer) *watch = nullptr;
    if (owned->Visible()) Invalidate(owned->Bounds());
    return true;
}

TCustomLayer* TImageView::Layer(int index) const {
    if (index < 0 || index >= LayerCount()) throw std::out_of_range("TImageView: layer index");
    return FLayers[std::size_t(index)].get();
}

int TImageView::IndexOf(const TCustomLayer* layer) const {
    for (std::size_t i = 0; i < FLayers.size(); ++i)
        if (FLayers[i].get() == layer) return int(i);
    return -1;
}

TCustomLayer* TImageView::LayerAt(int x, int y) const {
    for (auto it = FLayers.rbegin(); it != FLayers.rend(); ++it) {
        TCustomLayer* layer = it->get();
        if (layer->Visible() && layer->MouseEvents() && layer->HitTest(x, y)) return layer;
    }
    return nullptr;
}

void TImageView::Invalidate(const TRect& area) {
    const TRect r = area.Intersect(BoundsRect());
    if (r.IsEmpty()) return;
    FDirty.Add(r);
    if (OnInvalidate) OnInvalidate(r);
}

void TImageView::InvalidateAll() {
    FDirty.Clear();
    Invalidate(BoundsRect());
}

void TImageView::CheckNotComposing() const {
    if (FComposing) throw std::logic_error("TImageView: layers changed while painting");
}

void TImageView::ComposeArea(TBitmap32& target, const TRect& area) {
    const TRect clip = area.Intersect(BoundsRect());
    if (clip.IsEmpty()) return;
    struct TComposing {
        bool& Flag;
        explicit TComposing(bool& f) : Flag(f) { Flag = true; }
        ~TComposing() { Flag = false; }
    } composing(FComposing);

    target.Draw(clip.Left, clip.Top, FBitmap, clip);
    for (const auto& layer : FLayers)
        if (layer->Visible() && !layer->Bounds().Intersect(clip).IsEmpty())
            layer->Paint(target, clip);
}

void TImageView::Compose(const TRect& area) {
    const TRect clip = area.Intersect(BoundsRect());
    FDirty.RemoveCovered(clip);
    ComposeArea(FBuffer, clip);
}

std::vector<TRect> TImageView::ComposeDirty() {
    std::vector<TRect> rects = FDirty.Take();
    for (const TRect& r : rects)
        ComposeArea(FBuffer, r);
    return rects;
}

void TImageView::PaintTo(TBitmap32& target) {
    target.SetSize(Width(), Height());
    ComposeArea(target, BoundsRect());
}

void TImageView::Flatten(const TRect& area, std::initializer_list<const TCustomLayer*> layers) {
    const TRect clip = area.Intersect(BoundsRect());
    if (clip.IsEmpty()) return;
    CheckNotComposing();
    for (const auto& layer : FLayers)
        if (layer->Visible() &&
            std::find(layers.begin(), layers.end(), layer.get()) != layers.end())
            layer->Paint(FBitmap, clip);
}

void TImageView::Dispatch(TCustomLayer* target, THandler handler, const TViewMouse& m,
                          const TMouseEvent& viewEvent) {
    FHasPointer = true;
    FPointerX = m.X;
    FPointerY = m.Y;
    // The layer may delete itself (a finished stroke commits and is replaced),
    // so the view's handler gets the watched pointer, not the original.
    TLayerWatch watch(*this, target);
    if (target) (target->*handler)(m);
    if (viewEvent) viewEvent(m, watch.Layer);
}

void TImageView::MouseDown(const TViewMouse& m) {
    FButtonsDown = FButtonsDown | ButtonKey(m.Button);
    if (!FCapture) FCapture = LayerAt(m.X, m.Y);
    Dispatch(FCapture, &TCustomLayer::MouseDown, m, OnMouseDown);
}

void TImageView::MouseMove(const TViewMouse& m) {
    Dispatch(FCapture ? FCapture : LayerAt(m.X, m.Y), &TCustomLayer::MouseMove, m, OnMouseMove);
}

void TImageView::MouseUp(const TViewMouse& m) {
    TCustomLayer* target = FCapture ? FCapture : LayerAt(m.X, m.Y);
    FButtonsDown = FButtonsDown.Without(ButtonKey(m.Button));
    if (!FButtonsDown.AnyButton()) FCapture = nullptr;
    Dispatch(target, &TCustomLayer::MouseUp, m, OnMouseUp);
}

void TImageView::ReleaseMouseCapture() {
    FCapture = nullptr;
    FButtonsDown = {};
}

TCursorKind TImageView::CurrentCursor() const {
    const TCustomLayer* layer = FCapture      ? FCapture
                                : FHasPointer ? LayerAt(FPointerX, FPointerY)
                                              : nullptr;
    if (layer && layer->Cursor() != crDefault) return layer->Cursor();
    return FCursor;
}
