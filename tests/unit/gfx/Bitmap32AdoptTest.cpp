#include "gfx/Bitmap32.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {
// Foreign pixels (as a DIB section's would be) and a way to see them freed.
struct TForeign {
    std::shared_ptr<std::vector<TColor32>> Memory;
    std::weak_ptr<std::vector<TColor32>> Watch;
    TForeign(int w, int h) : Memory(std::make_shared<std::vector<TColor32>>(w * h, 0xFF102030)) {
        Watch = Memory;
    }
    TBitmap32 Adopt(int w, int h) {
        TColor32* bits = Memory->data();
        return TBitmap32::Adopt(w, h, bits, std::move(Memory));
    }
};

TEST(Bitmap32Adopt, WritesReachTheForeignPixelsAndCopiesOwnTheirs) {
    TForeign f(4, 3);
    std::vector<TColor32>& memory = *f.Memory;
    TBitmap32 b = f.Adopt(4, 3);
    b.SetPixel(1, 2, 0xFFABCDEF);
    EXPECT_EQ(memory[2 * 4 + 1], 0xFFABCDEFu);
    EXPECT_EQ(b.Pixels().data(), memory.data());

    TBitmap32 copy = b;
    copy.SetPixel(0, 0, 0xFF000001);
    EXPECT_EQ(memory[0], 0xFF102030u);
    EXPECT_NE(copy.Bits(), memory.data());
    EXPECT_TRUE(copy != b);
    copy.SetPixel(0, 0, 0xFF102030);
    EXPECT_TRUE(copy == b); // equal pixels, whoever holds them

    const TBitmap32 moved = std::move(b);
    EXPECT_EQ(moved.Bits(), memory.data());
    EXPECT_TRUE(b.Empty());
    EXPECT_FALSE(f.Watch.expired());
}

TEST(Bitmap32Adopt, TheOwnerGoesWithTheLastUseOfItsPixels) {
    const struct {
        const char* Name;
        void (*Drop)(TBitmap32&);
        bool Kept;
    } cases[] = {
        {"same size keeps the pixels", [](TBitmap32& b) { b.SetSize(4, 3); }, true},
        {"resize", [](TBitmap32& b) { b.SetSize(5, 3); }, false},
        {"replaced by an owned image", [](TBitmap32& b) { b = TBitmap32(2, 2); }, false},
        {"replaced by a copy", [](TBitmap32& b) { b = TBitmap32(b); }, false},
        {"moved away and dropped", [](TBitmap32& b) { TBitmap32 gone = std::move(b); }, false},
    };
    for (const auto& c : cases) {
        TForeign f(4, 3);
        TBitmap32 b = f.Adopt(4, 3);
        c.Drop(b);
        EXPECT_EQ(!f.Watch.expired(), c.Kept) << c.Name;
    }
}

TEST(Bitmap32Adopt, RejectsMissingPixelsAndNegativeSizes) {
    EXPECT_THROW(TBitmap32::Adopt(2, 2, nullptr, {}), std::invalid_argument);
    TColor32 one = 0;
    EXPECT_THROW(TBitmap32::Adopt(-1, 1, &one, {}), std::invalid_argument);
    EXPECT_TRUE(TBitmap32::Adopt(0, 5, nullptr, {}).Empty());
}
} // namespace
