#include "gfx/ImageView.h"
#include "gfx/BitmapLayer.h"
#include "gfx/DirtyRegion.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
using TLog = std::vector<std::string>;

std::string NameOf(const TCustomLayer* layer);

// Takes the mouse inside Area and logs what reaches it.
class TProbeLayer : public TCustomLayer {
public:
    TProbeLayer(TImageView& view, std::string name, TRect area, TLog& log)
        : TCustomLayer(view), Name(std::move(name)), Area(area), FLog(log) {}

    bool HitTest(int x, int y) const override { return Area.Contains(x, y); }
    void MouseDown(const TViewMouse& m) override { Record("down", m, OnDown); }
    void MouseMove(const TViewMouse& m) override { Record("move", m, nullptr); }
    void MouseUp(const TViewMouse& m) override { Record("up", m, OnUp); }

    std::string Name;
    TRect Area;
    std::function<void()> OnDown, OnUp; // run last: they may delete this layer

private:
    void Record(const char* what, const TViewMouse& m, const std::function<void()>& then) {
        FLog.push_back(Name + " " + what + " " + std::to_string(m.X) + "," + std::to_string(m.Y));
        // A copy: the handler may free this layer and the function with it.
        if (auto run = then) run();
    }
    TLog& FLog;
};

std::string NameOf(const TCustomLayer* layer) {
    auto* probe = dynamic_cast<const TProbeLayer*>(layer);
    return layer == nullptr ? "-" : probe ? probe->Name : "?";
}

struct TMouseStep {
    char Kind; // 'd'own, 'm'ove, 'u'p
    int X, Y;
    TMouseButton Button = mbLeft;
};

// A (0,0)-(100,100) below B (50,50)-(150,150); the view logs its own handlers.
struct TRoutingFixture {
    TLog Log;
    TImageView View;
    TProbeLayer* A;
    TProbeLayer* B;

    TRoutingFixture() {
        View.SetBitmap(TBitmap32(400, 300));
        A = View.AddLayer<TProbeLayer>("A", TRect{0, 0, 100, 100}, Log);
        B = View.AddLayer<TProbeLayer>("B", TRect{50, 50, 150, 150}, Log);
        auto viewLog = [this](const char* what) {
            return [this, what](const TViewMouse&, TCustomLayer* l) {
                Log.push_back(std::string("view ") + what + " " + NameOf(l));
            };
        };
        View.OnMouseDown = viewLog("down");
        View.OnMouseMove = viewLog("move");
        View.OnMouseUp = viewLog("up");
    }

    void Run(const std::vector<TMouseStep>& steps) {
        TShiftState held;
        for (const auto& s : steps) {
            const TShiftKey key = ButtonKey(s.Button);
            if (s.Kind == 'd') held = held | key;
            if (s.Kind == 'u') held = held.Without(key);
            const TViewMouse m{s.X, s.Y, s.Button, held};
            if (s.Kind == 'd') View.MouseDown(m);
            if (s.Kind == 'm') View.MouseMove(m);
            if (s.Kind == 'u') View.MouseUp(m);
        }
    }
};

TEST(ImageViewMouse, RoutesToTopmostAcceptingLayerWithCapture) {
    struct TCase {
        const char* Name;
        std::uint32_t OptionsB;
        std::vector<TMouseStep> Steps;
        TLog Expected;
    };
    const std::uint32_t both = LOB_VISIBLE | LOB_MOUSE_EVENTS;
    const TCase cases[] = {
        {"topmost accepting layer, else none",
         both,
         {{'d', 60, 60}, {'u', 60, 60}, {'d', 10, 10}, {'u', 10, 10}, {'d', 300, 200}},
         {"B down 60,60", "view down B", "B up 60,60", "view up B", "A down 10,10", "view down A",
          "A up 10,10", "view up A", "view down -"}},
        {"capture until release, then hover again",
         both,
         {{'m', 10, 10},
          {'d', 60, 60},
          {'m', 10, 10},
          {'m', 300, 200},
          {'u', 10, 10},
          {'m', 10, 10}},
         {"A move 10,10", "view move A", "B down 60,60", "view down B", "B move 10,10",
          "view move B", "B move 300,200", "view move B", "B up 10,10", "view up B", "A move 10,10",
          "view move A"}},
        {"capture lasts until the last button is up",
         both,
         {{'d', 60, 60},
          {'d', 10, 10, mbRight},
          {'u', 10, 10, mbRight},
          {'m', 10, 10},
          {'u', 10, 10},
          {'m', 10, 10}},
         {"B down 60,60", "view down B", "B down 10,10", "view down B", "B up 10,10", "view up B",
          "B move 10,10", "view move B", "B up 10,10", "view up B", "A move 10,10", "view move A"}},
        {"visible only: mouse passes through",
         LOB_VISIBLE,
         {{'d', 60, 60}, {'m', 120, 120}, {'u', 120, 120}},
         {"A down 60,60", "view down A", "A move 120,120", "view move A", "A up 120,120",
          "view up A"}},
        {"hidden: mouse passes through",
         LOB_MOUSE_EVENTS,
         {{'d', 60, 60}},
         {"A down 60,60", "view down A"}},
    };
    for (const auto& c : cases) {
        TRoutingFixture f;
        f.B->SetLayerOptions(c.OptionsB);
        f.Run(c.Steps);
        EXPECT_EQ(f.Log, c.Expected) << c.Name;
    }
}

TEST(ImageViewMouse, LayerDeletedWhileHandlingOrCapturedLeavesNothingDangling) {
    {
        // Deleted from outside while it holds the mouse.
        TRoutingFixture f;
        f.Run({{'d', 60, 60}});
        f.View.DeleteLayer(f.B);
        EXPECT_EQ(f.View.MouseCapture(), nullptr);
        f.Run({{'m', 70, 70}, {'u', 70, 70}});
        EXPECT_EQ(f.Log, (TLog{"B down 60,60", "view down B", "A move 70,70", "view move A",
                               "A up 70,70", "view up A"}));
    }
    {
        // A finished stroke: the layer replaces itself in its release handler.
        TRoutingFixture f;
        f.B->OnUp = [&f] {
            f.View.DeleteLayer(f.B);
            f.B = f.View.AddLayer<TProbeLayer>("B2", TRect{50, 50, 150, 150}, f.Log);
        };
        f.Run({{'d', 60, 60}, {'u', 60, 60}, {'d', 60, 60}});
        EXPECT_EQ(f.Log, (TLog{"B down 60,60", "view down B", "B up 60,60", "view up -",
                               "B2 down 60,60", "view down B2"}));
    }
    {
        // Deleted on the press: the rest of the drag goes to what lies below.
        TRoutingFixture f;
        f.B->OnDown = [&f] { f.View.DeleteLayer(f.B); };
        f.Run({{'d', 60, 60}, {'m', 61, 61}, {'u', 61, 61}});
        EXPECT_EQ(f.Log, (TLog{"B down 60,60", "view down -", "A move 61,61", "view move A",
                               "A up 61,61", "view up A"}));
    }
}

TEST(ImageViewMouse, CursorComesFromLayerHoldingOrUnderPointer) {
    TRoutingFixture f;
    f.View.SetCursor(crCross);
    f.A->SetCursor(crArrow);
    f.B->SetCursor(crSizeAll);
    f.View.AddLayer<TProbeLayer>("C", TRect{200, 200, 300, 300}, f.Log);
    EXPECT_EQ(f.View.CurrentCursor(), crCross); // pointer not seen yet

    struct TCase {
        std::vector<TMouseStep> Steps;
        TCursorKind Expected;
    };
    const TCase cases[] = {
        {{{'m', 10, 10}}, crArrow},
        {{{'m', 60, 60}}, crSizeAll},
        {{{'m', 250, 250}}, crCross}, // C has no preference
        {{{'m', 350, 50}}, crCross},  // no layer
        {{{'d', 60, 60}, {'m', 10, 10}}, crSizeAll},
        {{{'u', 10, 10}}, crArrow},
    };
    for (const auto& k : cases) {
        f.Run(k.Steps);
        EXPECT_EQ(f.View.CurrentCursor(), k.Expected) << k.Steps.back().X;
    }

    // The overlay's view handler may take the mouse away from the layer just
    // hovered; the cursor then follows the layer that now lies under it.
    f.View.OnMouseMove = [&](const TViewMouse&, TCustomLayer* l) {
        if (l == f.B) f.B->SetLayerOptions(LOB_VISIBLE);
    };
    f.Run({{'m', 60, 60}});
    EXPECT_EQ(f.View.CurrentCursor(), crArrow);
}

TEST(ImageViewLayers, CollectionKeepsOrderAndOwnership) {
    TLog log;
    auto view = std::make_unique<TImageView>();
    auto* a = view->AddLayer<TProbeLayer>("A", TRect{}, log);
    auto* b = view->AddLayer<TProbeLayer>("B", TRect{}, log);
    auto* c = view->AddLayer<TProbeLayer>("C", TRect{}, log);
    EXPECT_EQ(c->Index(), 2);
    EXPECT_TRUE(view->DeleteLayer(b));
    EXPECT_FALSE(view->DeleteLayer(b));
    EXPECT_EQ(view->LayerCount(), 2);
    EXPECT_EQ(view->Layer(1), c);
    EXPECT_EQ(c->Index(), 1);
    EXPECT_THROW(view->Layer(2), std::out_of_range);
    // A layer that removes a partner when it goes (a tool and its frame):
    // tearing the view down must cope in either order.
    struct TOwner : TProbeLayer {
        using TProbeLayer::TProbeLayer;
        ~TOwner() override { View().DeleteLayer(Partner); }
        TCustomLayer* Partner = nullptr;
    };
    auto* d = view->AddLayer<TOwner>("D", TRect{}, log);
    auto* e = view->AddLayer<TOwner>("E", TRect{}, log);
    d->Partner = e; // gone before d: the lookup simply fails
    e->Partner = a;
    view.reset(); // ASan reports any double free
}

// --- composition -------------------------------------------------------------

// A translucent box (the hint) or, when Dim, a veil over everything outside
// the box (the selection's darkening); Box changes repaint only what changed.
class TBoxLayer : public TCustomLayer {
public:
    TBoxLayer(TImageView& view, TRect box, TColor32 color, bool dim)
        : TCustomLayer(view), Box(box), Color(color), Dim(dim) {}

    void MoveTo(const TRect& box) {
        if (Dim) {
            Changed(Box.Union(box));
        } else {
            Changed(Box);
            Changed(box);
        }
        Box = box;
    }
    TRect Bounds() const override { return Dim ? TCustomLayer::Bounds() : Box; }
    void Paint(TBitmap32& buffer, const TRect& clip) override {
        if (!Dim) return buffer.FillRectBlend(Box.Intersect(clip), Color);
        const TRect h = Box.Intersect(buffer.BoundsRect());
        const int w = buffer.Width(), ht = buffer.Height();
        const TRect bands[] = {{0, 0, w, h.Top},
                               {0, h.Top, h.Left, h.Bottom},
                               {h.Right, h.Top, w, h.Bottom},
                               {0, h.IsEmpty() ? 0 : h.Bottom, w, ht}};
        for (const TRect& band : bands)
            buffer.FillRectBlend(band.Intersect(clip), Color);
    }

    TRect Box; // changing it directly skips the repaint request
    TColor32 Color;
    bool Dim;
};

// Everything from scratch, independent of the view's own composition.
TBitmap32 Reference(TImageView& view) {
    TBitmap32 out = view.Bitmap();
    for (int i = 0; i < view.LayerCount(); ++i)
        if (view.Layer(i)->Visible()) view.Layer(i)->Paint(out, out.BoundsRect());
    return out;
}

TBitmap32 RandomBitmap(std::mt19937& rng, int w, int h, bool translucent) {
    TBitmap32 b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            TColor32 c = rng();
            if (translucent && rng() % 3 == 0) c &= 0x00FFFFFF; // some fully clear
            b.SetPixel(x, y, c);
        }
    return b;
}

TEST(ImageViewCompose, BitmapLayerDrawsClippedToLocationInItsMode) {
    struct TCase {
        TDrawMode Mode;
        TRect Location;
        TColor32 Expected[4];
    };
    // Blend 0x80FFFFFF over 0xFF204060, per channel (256B + 128 + (F-B)*128) div 256:
    //   A (65280+128-16256)/256 = 192, R (8192+128+28544)/256 = 144,
    //   G (16384+128+24576)/256 = 160, B (24576+128+20480)/256 = 176.
    const TCase cases[] = {
        {dmBlend, {1, 0, 3, 1}, {0xFF204060, 0xC090A0B0, 0xFF204060, 0xFF204060}},
        {dmOpaque, {1, 0, 3, 1}, {0xFF204060, 0x80FFFFFF, 0x00000000, 0xFF204060}},
        // Location wider than the bitmap: only the bitmap's pixels show.
        {dmOpaque, {2, 0, 9, 1}, {0xFF204060, 0xFF204060, 0x80FFFFFF, 0x00000000}},
        {dmOpaque, {3, 0, 1, 1}, {0xFF204060, 0xFF204060, 0xFF204060, 0xFF204060}},
    };
    for (const auto& c : cases) {
        TImageView view;
        view.SetBitmap(TBitmap32(4, 1, 0xFF204060));
        auto* layer = view.AddLayer<TBitmapLayer>();
        TBitmap32 bits(3, 1);
        bits.SetPixel(0, 0, 0x80FFFFFF);
        bits.SetPixel(2, 0, 0xFF0000FF);
        layer->SetBitmap(std::move(bits));
        layer->SetDrawMode(c.Mode);
        layer->SetLocation(c.Location);
        view.ComposeDirty();
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(view.Buffer().Pixel(x, 0), c.Expected[x]) << c.Mode << " x=" << x;
    }
}

TEST(ImageViewCompose, DirtyCompositionMatchesFullCompositionAfterRandomChanges) {
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    const int W = 64, H = 48;
    auto randomRect = [&] {
        const int x = pick(-10, W), y = pick(-10, H);
        return TRect{x, y, x + pick(0, 40), y + pick(0, 30)};
    };

    TImageView view;
    view.SetBitmap(RandomBitmap(rng, W, H, false));
    auto* draw = view.AddLayer<TBitmapLayer>();
    draw->SetBitmap(TBitmap32(W, H, 0x00FFFFFF));
    draw->SetLocation(view.BoundsRect());
    draw->SetDrawMode(dmBlend);
    auto* dim = view.AddLayer<TBoxLayer>(TRect{}, 0x66353739, true);
    std::vector<TCustomLayer*> upper;

    for (int step = 0; step < 600; ++step) {
        TCustomLayer* some = upper.empty() ? nullptr : upper[rng() % upper.size()];
        auto* box = dynamic_cast<TBoxLayer*>(some);
        auto* bitmap = dynamic_cast<TBitmapLayer*>(some);
        switch (rng() % 9) {
        case 0: { // a stroke into the draw image
            const TRect r = randomRect().Intersect(view.BoundsRect());
            draw->Bitmap().Draw(r.Left, r.Top, RandomBitmap(rng, r.Width(), r.Height(), true));
            draw->Changed(r);
            break;
        }
        case 1:
            dim->MoveTo(randomRect());
            break;
        case 2:
            if (rng() % 2)
                upper.push_back(view.AddLayer<TBoxLayer>(randomRect(), TColor32(rng()), false));
            else {
                auto* l = view.AddLayer<TBitmapLayer>();
                l->SetBitmap(RandomBitmap(rng, pick(0, 30), pick(0, 30), true));
                l->SetLocation(randomRect());
                upper.push_back(l);
            }
            break;
        case 3:
            if (some && upper.size() > 1) {
                view.DeleteLayer(some);
                std::erase(upper, some);
            }
            break;
        case 4:
            if (some) some->SetVisible(!some->Visible());
            if (rng() % 4 == 0) dim->SetVisible(!dim->Visible());
            break;
        case 5:
            if (box) box->MoveTo(randomRect());
            if (bitmap) bitmap->SetLocation(randomRect());
            break;
        case 6:
            if (bitmap) bitmap->SetDrawMode(bitmap->DrawMode() == dmBlend ? dmOpaque : dmBlend);
            if (bitmap && rng() % 2)
                bitmap->SetBitmap(RandomBitmap(rng, pick(0, 30), pick(0, 30), true));
            break;
        case 7: // mouse options never change pixels
            if (some) some->SetLayerOptions(some->LayerOptions() ^ LOB_MOUSE_EVENTS);
            break;
        default:
            view.ComposeDirty();
            break;
        }
        if (rng() % 3 == 0) {
            view.ComposeDirty();
            ASSERT_EQ(view.Buffer(), Reference(view)) << "step " << step;
        }
    }
    view.ComposeDirty();
    EXPECT_EQ(view.Buffer(), Reference(view));
    TBitmap32 flat;
    view.PaintTo(flat);
    EXPECT_EQ(flat, Reference(view));
}

TEST(ImageViewCompose, ComposeWritesOnlyInsideItsArea) {
    std::mt19937 rng(7);
    TImageView view;
    view.SetBitmap(RandomBitmap(rng, 40, 30, false));
    auto* draw = view.AddLayer<TBitmapLayer>();
    draw->SetBitmap(RandomBitmap(rng, 40, 30, true));
    draw->SetLocation(view.BoundsRect());
    draw->SetDrawMode(dmBlend);
    auto* dim = view.AddLayer<TBoxLayer>(TRect{10, 10, 20, 20}, 0x66353739, true);
    auto* hint = view.AddLayer<TBoxLayer>(TRect{0, 0, 15, 8}, 0xC0FFFFFF, false);

    const TRect areas[] = {{5, 7, 23, 19}, {-5, 20, 12, 40}, {30, -3, 50, 4}, {8, 8, 8, 20}};
    for (const TRect& area : areas) {
        view.ComposeDirty();
        // Change what every layer shows without telling the view.
        draw->Bitmap() = RandomBitmap(rng, 40, 30, true);
        dim->Box = dim->Box.Offset(1, 2);
        hint->Box = hint->Box.Offset(3, 1);
        const TBitmap32 before = view.Buffer();
        const TBitmap32 want = Reference(view);
        view.Compose(area);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(view.Buffer().Pixel(x, y),
                          area.Contains(x, y) ? want.Pixel(x, y) : before.Pixel(x, y))
                    << x << "," << y;
    }
}

TEST(ImageViewCompose, SmallChangesDirtyOnlyWhatChanged) {
    struct TCase {
        const char* Name;
        std::function<void(TBoxLayer& veil, TBitmapLayer& hint, TImageView& view)> Act;
        std::vector<TRect> Expected;
    };
    const TCase cases[] = {
        {"area of a full-screen layer",
         [](auto& veil, auto&, auto&) {
             veil.Changed({10, 10, 20, 20});
         },
         {{10, 10, 20, 20}}},
        {"hint moved by 5 px",
         [](auto&, auto& hint, auto&) {
             hint.SetLocation({105, 105, 255, 145});
         },
         {{100, 100, 255, 145}}},
        {"two changes far apart",
         [](auto& veil, auto&, auto&) {
             veil.Changed({0, 0, 4, 4});
             veil.Changed({1000, 900, 1004, 904});
         },
         {{0, 0, 4, 4}, {1000, 900, 1004, 904}}},
        {"clipped to the view",
         [](auto& veil, auto&, auto&) {
             veil.Changed({1900, 1070, 2000, 1200});
         },
         {{1900, 1070, 1920, 1080}}},
        {"hidden layer",
         [](auto&, auto& hint, auto&) { hint.SetVisible(false); },
         {{100, 100, 250, 140}}},
        {"change of a hidden layer",
         [](auto&, auto& hint, auto&) {
             hint.SetVisible(false);
             hint.Changed({0, 0, 10, 10});
             hint.SetBitmap(TBitmap32(5, 5));
         },
         {{100, 100, 250, 140}}},
        {"mouse events off",
         [](auto&, auto& hint, auto&) { hint.SetLayerOptions(LOB_VISIBLE); },
         {}},
        {"layer deleted",
         [](auto&, auto& hint, auto& view) { view.DeleteLayer(&hint); },
         {{100, 100, 250, 140}}},
    };
    for (const auto& c : cases) {
        TImageView view;
        view.SetBitmap(TBitmap32(1920, 1080));
        auto* veil = view.AddLayer<TBoxLayer>(TRect{}, 0x66353739, true);
        auto* hint = view.AddLayer<TBitmapLayer>();
        hint->SetBitmap(TBitmap32(150, 40, 0xFFFFFFFF));
        hint->SetLocation({100, 100, 250, 140});
        view.ComposeDirty();
        std::vector<TRect> told;
        view.OnInvalidate = [&](const TRect& r) { told.push_back(r); };
        c.Act(*veil, *hint, view);
        EXPECT_EQ(view.DirtyRects(), c.Expected) << c.Name;
        for (const TRect& r : told)
            EXPECT_TRUE(r.Intersect(view.BoundsRect()) == r && r.Width() <= 155) << c.Name;
    }
}

TEST(ImageViewCompose, DirtyListStaysShortAndCoversEveryChange) {
    TDirtyRegion region;
    std::vector<TRect> added;
    for (int i = 0; i < 30; ++i) {
        const int x = (i * 397) % 1900, y = (i * 211) % 1060;
        added.push_back({x, y, x + 3, y + 3});
        region.Add(added.back());
    }
    ASSERT_LE(region.Rects().size(), TDirtyRegion::MaxRects);
    std::int64_t area = 0;
    for (const TRect& r : region.Rects())
        area += TDirtyRegion::Area(r);
    EXPECT_LT(area, 1920 * 1080 / 2);
    for (const TRect& a : added) {
        bool covered = false;
        for (const TRect& r : region.Rects())
            covered = covered || r.Union(a) == r;
        EXPECT_TRUE(covered) << a.Left << "," << a.Top;
    }
}

} // namespace
