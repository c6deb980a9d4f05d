#include "annotate/StoreListBitmap32.h"
#include "annotate/BitmapDelta.h"
#include "annotate/StampNumber.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

namespace {
constexpr TColor32 Red = 0xFFFF0000;
constexpr TColor32 Blue = 0xFF0000FF;
constexpr TColor32 Green = 0xFF00FF00;

// Each pixel holds its own coordinates, so a misplaced restore shows.
TBitmap32 Screen(int w, int h) {
    TBitmap32 b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Row(y)[x] = 0xFF000000u | TColor32(y << 12) | TColor32(x);
    return b;
}

TBitmap32 With(TBitmap32 b, const TRect& r, TColor32 c) {
    b.FillRect(r, c);
    return b;
}

struct TEvents {
    std::vector<std::pair<bool, bool>> Calls;
    void Attach(TStoreListBitmap32& s) {
        s.OnChangeState = [this](bool u, bool r) { Calls.emplace_back(u, r); };
    }
    std::pair<bool, bool> Last() const { return Calls.back(); }
};

class StoreListBitmap32Test : public ::testing::Test {
protected:
    void SetUp() override { StampNumber = 1; }
    // What the stamp tool does: the number advances, then the commit is recorded.
    void PlaceStamp(const TBitmap32& b) {
        ++StampNumber;
        Store.AddBitmap(b, true);
    }
    TStoreListBitmap32 Store;
    TEvents Events;
};

TEST(BitmapDelta, BoundsEveryDifferingPixelAndSwapsBothWays) {
    struct TCase {
        std::vector<std::pair<int, int>> Changed;
        TRect Expected;
    };
    const TCase cases[] = {
        {{}, {}},
        {{{0, 0}}, {0, 0, 1, 1}},
        {{{9, 6}}, {9, 6, 10, 7}},
        {{{3, 2}, {5, 4}}, {3, 2, 6, 5}},
        {{{8, 1}, {1, 5}}, {1, 1, 9, 6}},         // left found on a later row
        {{{2, 1}, {7, 3}, {4, 5}}, {2, 1, 8, 6}}, // right found on a middle row
        {{{0, 3}, {9, 3}}, {0, 3, 10, 4}},        // both ends of one row
        {{{5, 0}, {5, 6}, {0, 2}}, {0, 0, 6, 7}}, // equal rows in between
    };
    const TBitmap32 a = Screen(10, 7);
    for (const TCase& c : cases) {
        TBitmap32 b = a;
        for (auto [x, y] : c.Changed)
            b.Row(y)[x] ^= 1;
        TBitmap32 image = a;
        TBitmapDelta d = TBitmapDelta::Record(image, b);
        EXPECT_EQ(d.Rect(), c.Expected) << c.Changed.size();
        EXPECT_EQ(image, b);
        // Only the changed pixels are held, one per changed pixel when each
        // row has one.
        if (c.Changed.size() == 1) {
            EXPECT_EQ(d.Bytes(), sizeof(TColor32) + 2 * sizeof(int));
        }
        d.Swap(image);
        EXPECT_EQ(image, a);
        d.Swap(image);
        EXPECT_EQ(image, b);
    }
}

TEST(BitmapDelta, ADiagonalCostsItsPixelsAndWithinLimitsTheComparison) {
    const TBitmap32 a = Screen(400, 300);
    TBitmap32 b = a;
    for (int i = 0; i < 300; ++i)
        b.FillRect({i, i, i + 3, i + 1}, Red);
    TBitmap32 image = a;
    TBitmapDelta d = TBitmapDelta::Record(image, b);
    EXPECT_EQ(d.Rect(), (TRect{0, 0, 302, 300}));
    EXPECT_LE(d.Bytes(), 300u * (3 * sizeof(TColor32) + 2 * sizeof(int)));
    d.Swap(image);
    EXPECT_EQ(image, a);

    // A change outside the rectangles it is told about is not looked for.
    const TRect within[] = {{0, 0, 10, 10}, {50, 50, 60, 60}};
    TBitmap32 c = With(a, {2, 2, 4, 4}, Blue);
    c.FillRect({55, 58, 57, 59}, Blue);
    c.FillRect({200, 200, 201, 201}, Blue);
    image = a;
    d = TBitmapDelta::Record(image, c, within);
    EXPECT_EQ(d.Rect(), (TRect{2, 2, 57, 59}));
    EXPECT_EQ(image.Pixel(55, 58), Blue);
    EXPECT_EQ(image.Pixel(200, 200), a.Pixel(200, 200));
    d.Swap(image);
    EXPECT_EQ(image, a);
}

TEST_F(StoreListBitmap32Test, UndoRedoAndANewStepDropsTheRedoSteps) {
    Events.Attach(Store);
    const TBitmap32 screen = Screen(30, 20);
    const TBitmap32 a = With(screen, {2, 2, 10, 4}, Red);
    const TBitmap32 b = With(a, {5, 1, 6, 19}, Blue);
    const TBitmap32 c = With(a, {20, 10, 29, 12}, Green);

    Store.AddBitmap(screen, false);
    EXPECT_EQ(Events.Last(), std::make_pair(false, false));
    Store.AddBitmap(a, false);
    Store.AddBitmap(b, false);
    EXPECT_EQ(Events.Last(), std::make_pair(true, false));

    const TBitmap32* shown = Store.UndoGet();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(*shown, a);
    EXPECT_EQ(Events.Last(), std::make_pair(true, true));

    Store.AddBitmap(c, false);
    EXPECT_EQ(Store.Count(), 3);
    EXPECT_EQ(Store.Position(), 2);
    EXPECT_FALSE(Store.AvailRedo());
    EXPECT_EQ(Events.Last(), std::make_pair(true, false));
    const std::size_t calls = Events.Calls.size();
    EXPECT_EQ(Store.RedoGet(), nullptr);
    EXPECT_EQ(Events.Calls.size(), calls + 1); // re-announced though nothing moved

    ASSERT_NE(shown = Store.UndoGet(), nullptr);
    EXPECT_EQ(*shown, a);
    ASSERT_NE(shown = Store.UndoGet(), nullptr);
    EXPECT_EQ(*shown, screen);
    EXPECT_EQ(Events.Last(), std::make_pair(false, true));
    ASSERT_NE(shown = Store.RedoGet(), nullptr);
    ASSERT_NE(shown = Store.RedoGet(), nullptr);
    EXPECT_EQ(*shown, c);
}

TEST_F(StoreListBitmap32Test, UndoAtTheFirstSnapshotOnlyReannouncesTheState) {
    Events.Attach(Store);
    EXPECT_EQ(Store.UndoGet(), nullptr); // empty store
    EXPECT_EQ(Store.RedoGet(), nullptr);
    EXPECT_EQ(Events.Calls.size(), 2u);
    Store.AddBitmap(Screen(8, 8), false);
    EXPECT_EQ(Store.UndoGet(), nullptr);
    EXPECT_EQ(Store.Position(), 0);
    EXPECT_EQ(Store.Count(), 1);
    EXPECT_EQ(Events.Calls.size(), 4u);
    EXPECT_EQ(Events.Last(), std::make_pair(false, false));
}

TEST_F(StoreListBitmap32Test, StampNumberFollowsTheStampsUpToTheCursor) {
    TBitmap32 image = Screen(40, 30);
    Store.AddBitmap(image, false);
    for (int i = 0; i < 3; ++i)
        PlaceStamp(image = With(image, {i * 10, 5, i * 10 + 8, 13}, Red));
    EXPECT_EQ(StampNumber, 4);
    Store.UndoGet();
    Store.UndoGet();
    EXPECT_EQ(StampNumber, 2);
    Store.RedoGet();
    EXPECT_EQ(StampNumber, 3);
    Store.RedoGet();
    Store.RedoGet(); // at the end: no change
    EXPECT_EQ(StampNumber, 4);

    image = With(image, {0, 20, 40, 21}, Blue); // a line
    Store.AddBitmap(image, false);
    Store.UndoGet();
    EXPECT_EQ(StampNumber, 4);
    Store.RedoGet();
    EXPECT_EQ(StampNumber, 4);

    // A stamp that changes no pixel is still a stamp step.
    const std::size_t before = Store.StoredBytes();
    PlaceStamp(image);
    EXPECT_EQ(StampNumber, 5);
    EXPECT_EQ(Store.Count(), 6);
    EXPECT_EQ(*Store.UndoGet(), image);
    EXPECT_EQ(StampNumber, 4);
    EXPECT_LE(Store.StoredBytes() - before, 128u);
}

TEST_F(StoreListBitmap32Test, ClearAnnouncesNoUndoNoRedoUnlessFreeing) {
    Events.Attach(Store);
    Store.AddBitmap(Screen(8, 8), false);
    Store.AddBitmap(With(Screen(8, 8), {1, 1, 3, 3}, Red), false);
    Store.UndoGet();
    Store.Clear(false);
    EXPECT_EQ(Events.Last(), std::make_pair(false, false));
    EXPECT_EQ(Store.Count(), 0);
    EXPECT_EQ(Store.StoredBytes(), 0u);

    Store.AddBitmap(Screen(8, 8), false);
    Store.AddBitmap(Screen(8, 8), false);
    const std::size_t calls = Events.Calls.size();
    Store.Clear(true);
    EXPECT_EQ(Events.Calls.size(), calls);
    EXPECT_FALSE(Store.AvailUndo());
    EXPECT_EQ(Store.Position(), 0);

    // The next capture starts a fresh history, possibly of another size.
    Store.AddBitmap(Screen(5, 4), false);
    EXPECT_EQ(Store.Count(), 1);
    EXPECT_EQ(Store.UndoGet(), nullptr);
}

TEST_F(StoreListBitmap32Test, StepsOfAnotherSizeAreRestoredExactly) {
    const TBitmap32 a = Screen(12, 9);
    const TBitmap32 b = With(Screen(15, 4), {0, 0, 3, 3}, Red);
    const TBitmap32 c = With(b, {10, 1, 12, 2}, Blue);
    Store.AddBitmap(a, false);
    Store.AddBitmap(b, false);
    Store.AddBitmap(c, false);
    EXPECT_EQ(*Store.UndoGet(), b);
    EXPECT_EQ(*Store.UndoGet(), a);
    EXPECT_EQ(*Store.RedoGet(), b);
    EXPECT_EQ(*Store.RedoGet(), c);
}

TEST_F(StoreListBitmap32Test, SmallChangeOnALargeImageStoresOnlyItsRectangle) {
    TBitmap32 image = Screen(1920, 1080);
    Store.AddBitmap(image, false);
    const std::size_t full = Store.StoredBytes();
    EXPECT_GE(full, 1920u * 1080u * 4u);
    image.FillRect({900, 500, 940, 540}, Red);
    image.FillRect({910, 510, 930, 530}, 0); // holes inside still count once
    PlaceStamp(image);
    EXPECT_LE(Store.StoredBytes() - full, 40u * (40u * 4u + 8u) + 256u);
    EXPECT_NE(*Store.UndoGet(), image);
    EXPECT_EQ(*Store.RedoGet(), image);
}

// The simple store the compact one must behave like: a full copy per step.
struct TReferenceStore {
    std::vector<TBitmap32> Images;
    std::vector<bool> Stamps;
    int Position = 0;
    void Add(const TBitmap32& b, bool stamp) {
        if (!Images.empty()) {
            Images.resize(std::size_t(Position) + 1);
            Stamps.resize(std::size_t(Position) + 1);
        }
        Images.push_back(b);
        Stamps.push_back(stamp);
        Position = int(Images.size()) - 1;
    }
    int ExpectedStampNumber() const {
        int n = 1;
        for (int i = 1; i <= Position; ++i)
            n += Stamps[std::size_t(i)];
        return n;
    }
};

// Returns the rectangle the stroke may have changed.
TRect RandomStroke(TBitmap32& b, std::mt19937& rng) {
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const TColor32 colour = rng() | (pick(2) ? 0xFF000000u : 0u);
    switch (pick(4)) {
    case 0: { // rectangle, sometimes poking out of the image
        const int x = pick(b.Width() + 10) - 5, y = pick(b.Height() + 10) - 5;
        const TRect r{x, y, x + 1 + pick(20), y + 1 + pick(20)};
        b.FillRect(r, colour);
        return r;
    }
    case 1: { // line from corner to corner of a random box
        int x0 = pick(b.Width()), y0 = pick(b.Height());
        const int x1 = pick(b.Width()), y1 = pick(b.Height());
        const TRect box{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1,
                        std::max(y0, y1) + 1};
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        for (int err = dx + dy;;) {
            b.SetPixel(x0, y0, colour);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
        return box;
    }
    case 2: { // a single pixel
        const int x = pick(b.Width()), y = pick(b.Height());
        b.SetPixel(x, y, colour);
        return {x, y, x + 1, y + 1};
    }
    default: // nothing changed
        return {};
    }
}

TEST_F(StoreListBitmap32Test, RandomHistoryMatchesFullCopies) {
    std::mt19937 rng(20240611);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    Events.Attach(Store);
    TReferenceStore ref;
    TBitmap32 working = Screen(48, 32);
    Store.AddBitmap(working, false);
    ref.Add(working, false);

    auto check = [&](const TBitmap32* shown, bool moved) {
        ASSERT_EQ(shown != nullptr, moved);
        ASSERT_EQ(Store.Count(), int(ref.Images.size()));
        ASSERT_EQ(Store.Position(), ref.Position);
        if (shown) {
            ASSERT_EQ(*shown, ref.Images[std::size_t(ref.Position)]);
            working = *shown;
        }
        ASSERT_EQ(StampNumber, ref.ExpectedStampNumber());
        const bool undo = ref.Position > 0, redo = ref.Position + 1 < int(ref.Images.size());
        ASSERT_EQ(Events.Last(), std::make_pair(undo, redo));
        ASSERT_EQ(Store.AvailUndo(), undo);
        ASSERT_EQ(Store.AvailRedo(), redo);
    };

    for (int op = 0; op < 3000; ++op) {
        const int kind = pick(10);
        if (kind < 5) {
            const bool resized = pick(100) == 0;
            if (resized) working = Screen(40 + pick(16), 24 + pick(16));
            std::vector<TRect> drawn;
            for (int strokes = 1 + pick(3); strokes > 0; --strokes)
                drawn.push_back(RandomStroke(working, rng));
            const bool stamp = pick(4) == 0;
            if (stamp) ++StampNumber;
            // Half the commits say where they drew, as the overlay does.
            if (!resized && pick(2))
                Store.AddBitmap(working, stamp, drawn);
            else
                Store.AddBitmap(working, stamp);
            ref.Add(working, stamp);
            ASSERT_NO_FATAL_FAILURE(check(nullptr, false));
        } else if (kind < 8) {
            const bool moved = ref.Position > 0;
            ref.Position -= moved;
            ASSERT_NO_FATAL_FAILURE(check(Store.UndoGet(), moved));
        } else {
            const bool moved = ref.Position + 1 < int(ref.Images.size());
            ref.Position += moved;
            ASSERT_NO_FATAL_FAILURE(check(Store.RedoGet(), moved));
        }
    }
    // Walk the whole history down and up again.
    while (ref.Position > 0) {
        --ref.Position;
        ASSERT_NO_FATAL_FAILURE(check(Store.UndoGet(), true));
    }
    ASSERT_NO_FATAL_FAILURE(check(Store.UndoGet(), false));
    while (ref.Position + 1 < int(ref.Images.size())) {
        ++ref.Position;
        ASSERT_NO_FATAL_FAILURE(check(Store.RedoGet(), true));
    }
    ASSERT_NO_FATAL_FAILURE(check(Store.RedoGet(), false));
}
} // namespace
