#include "annotate/TextEditToolLayer.h"
#include "capture/RubberBandLayerEx.h"
#include "capture/SetRegionForm.h"
#include "settings/SettingsUnit.h"
#include "unit/fakes/FakeSetRegionHost.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Keys as one string: characters are typed, codes from KeyBase on are the
// caret keys and Delete.
constexpr wchar_t KeyBase = 0xE000;
constexpr wchar_t Lt = KeyBase + tkLeft, Rt = KeyBase + tkRight, Up = KeyBase + tkUp,
                  Dn = KeyBase + tkDown, Hm = KeyBase + tkHome, En = KeyBase + tkEnd,
                  Del = KeyBase + tkDelete;

class TClipboardHost : public TFakeSetRegionHost {
public:
    std::wstring ClipboardText() const override { return Clipboard; }
    std::wstring Clipboard;
};

class TextToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = Settings;
        FSavedSize = TextFontSize;
        Settings = TSettings{};
        TextFontSize = 10; // the fake renderer: 8 px per character, 15 px per line
        FForm.StartSelectRegion(0);
        FForm.View().MouseDown({10, 10, mbLeft, ssLeft});
        FForm.View().MouseMove({400, 300, mbLeft, ssLeft});
        FForm.View().MouseUp({400, 300, mbLeft, {}});
        FForm.AddTool(ctTextExit);
    }
    void TearDown() override {
        Settings = FSaved;
        TextFontSize = FSavedSize;
    }

    void Click(int x, int y) {
        FForm.View().MouseDown({x, y, mbLeft, ssLeft});
        FForm.View().MouseUp({x, y, mbLeft, {}});
    }
    TTextEditToolLayer& Text() { return *FForm.TextTool(); }
    void Keys(std::wstring_view keys) {
        for (wchar_t k : keys)
            if (k >= KeyBase)
                FForm.KeyDown(k - KeyBase);
            else
                FForm.KeyPress(k);
    }
    TRect Box() { return Text().Frame()->Location(); }

    TSettings FSaved;
    std::int32_t FSavedSize = 0;
    TClipboardHost FHost;
    TFakeTextRasterizer FRaster;
    TSetRegionForm FForm{FHost, FRaster};
};

struct TEditCase {
    const char* Name;
    std::wstring Keys;
    std::wstring Clipboard;
    std::vector<std::wstring> Lines;
    int X, Y;
};

TEST_F(TextToolTest, KeySequencesGiveLinesAndCaret) {
    const std::vector<TEditCase> cases = {
        {"two lines", L"ab\rcdefg", L"", {L"ab", L"cdefg"}, 5, 1},
        {"enter splits at the caret",
         std::wstring(L"abcd") + Lt + Lt + L"\r",
         L"",
         {L"ab", L"cd"},
         0,
         1},
        {"backspace at a line start joins",
         std::wstring(L"ab\rcd") + Hm + L"\b",
         L"",
         {L"abcd"},
         2,
         0},
        {"backspace at the very start", std::wstring(L"ab") + Hm + L"\b", L"", {L"ab"}, 0, 0},
        {"ctrl+backspace code deletes", L"ab\x7f", L"", {L"a"}, 1, 0},
        {"control codes are ignored", L"a\x01\x1b\tb", L"", {L"ab"}, 2, 0},
        {"delete at the end of the last line",
         std::wstring(L"ab\rcd") + Del,
         L"",
         {L"ab", L"cd"},
         2,
         1},
        {"delete at the end of a middle line joins",
         std::wstring(L"ab\rcd") + Up + En + Del,
         L"",
         {L"abcd"},
         2,
         0},
        {"delete inside a line", std::wstring(L"abc") + Hm + Del, L"", {L"bc"}, 0, 0},
        {"up onto a shorter line",
         L"ab\rcdefg" + std::wstring(1, Up),
         L"",
         {L"ab", L"cdefg"},
         2,
         0},
        {"down onto a shorter line",
         std::wstring(L"abcde\rf") + Up + En + Dn,
         L"",
         {L"abcde", L"f"},
         1,
         1},
        {"left from a line start", std::wstring(L"ab\rc") + Hm + Lt, L"", {L"ab", L"c"}, 2, 0},
        {"right from a line end", std::wstring(L"ab\rc") + Up + En + Rt, L"", {L"ab", L"c"}, 0, 1},
        {"paste joins the clipboard's lines",
         std::wstring(L"ab") + Lt + L"\x16",
         L"x\r\ny\a",
         {L"axyb"},
         3,
         0},
        {"paste of nothing", L"a\x16", L"", {L"a"}, 1, 0},
        {"empty text: enter gives two empty lines", L"\r", L"", {L"", L""}, 0, 1},
        {"empty text: right, end, delete do nothing",
         std::wstring{Rt, En, Del, Dn, Up},
         L"",
         {L""},
         0,
         0},
        {"a surrogate pair is one character", L"a\xD83D\xDE00\b", L"", {L"a"}, 1, 0},
    };
    for (const TEditCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FForm.AddTool(ctArrow);
        FForm.AddTool(ctTextExit);
        FHost.Clipboard = c.Clipboard;
        Click(50, 60);
        Keys(c.Keys);
        EXPECT_EQ(Text().Lines(), c.Lines);
        EXPECT_EQ(Text().CaretX(), c.X);
        EXPECT_EQ(Text().CaretY(), c.Y);
    }
}

TEST_F(TextToolTest, KeysBeforeTheBoxIsPlacedAreIgnored) {
    Keys(std::wstring(L"ab\r") + Del);
    EXPECT_FALSE(Text().IsStateRedact());
    EXPECT_EQ(Text().Lines(), std::vector<std::wstring>{L""});
    EXPECT_FALSE(FForm.KeyDown(tkLeft));
}

TEST_F(TextToolTest, BoxGrowsAndShrinksFromItsTopLeft) {
    Click(50, 60);
    Keys(L"ab\rcdefg");
    // The wider line and two line heights, plus 10 px on each side.
    EXPECT_EQ(Box(), (TRect{50, 60, 50 + 5 * 8 + 20, 60 + 2 * 15 + 20}));
    EXPECT_EQ(Text().Location(), Box());
    Keys(L"\b\b\b\b\b\b");
    EXPECT_EQ(Box(), (TRect{50, 60, 50 + 2 * 8 + 20, 60 + 15 + 20}));
    Keys(L"\b\b");
    // No narrower than one "A".
    EXPECT_EQ(Box(), (TRect{50, 60, 50 + 8 + 20, 60 + 15 + 20}));
}

TEST_F(TextToolTest, RepaintPerKeyStaysInsideTheBox) {
    Click(50, 60);
    Keys(L"abc");
    FForm.View().ComposeDirty();
    const TRect before = Box();
    Keys(L"d");
    const TRect area = before.Union(Box());
    ASSERT_FALSE(FForm.View().DirtyRects().empty());
    for (const TRect& r : FForm.View().DirtyRects())
        EXPECT_EQ(r.Union(area), area);
}

TEST_F(TextToolTest, BlankTextCommitsNoUndoStep) {
    for (const std::wstring keys : {L"", L"   ", L"\r \r"}) {
        const int steps = FForm.History().Count();
        const TBitmap32 image = FForm.View().Bitmap();
        Click(50, 60);
        Keys(keys);
        FForm.TestClose();
        EXPECT_TRUE(FHost.Showing);
        EXPECT_EQ(FForm.History().Count(), steps);
        EXPECT_TRUE(FForm.View().Bitmap() == image);
        EXPECT_FALSE(Text().IsStateRedact()); // a fresh box waits
    }
}

TEST_F(TextToolTest, TextCommitsOnceAndUndoRemovesIt) {
    const TBitmap32 image = FForm.View().Bitmap();
    Settings.pencolor = 0xFF00FF00;
    Click(50, 60);
    Keys(L"Ab");
    const TRect box = Box();
    FForm.TestClose(); // first Esc: commit, stay open
    EXPECT_TRUE(FHost.Showing);
    EXPECT_EQ(FForm.History().Count(), 2);
    EXPECT_EQ(FForm.View().Bitmap().Pixel(box.Left + 10 + 2, box.Top + 10 + 2), 0xFF00FF00u);
    // The caret and the frame are not flattened.
    EXPECT_TRUE(FForm.View().Bitmap().Crop({box.Left, box.Top, box.Right, box.Top + 10}) ==
                image.Crop({box.Left, box.Top, box.Right, box.Top + 10}));
    EXPECT_EQ(FForm.View().LayerCount(), 3); // draw image, selection, waiting text layer
    FForm.Undo();
    EXPECT_TRUE(FForm.View().Bitmap() == image);
    FForm.TestClose(); // second Esc closes
    EXPECT_FALSE(FHost.Showing);
}

TEST_F(TextToolTest, UndoToolChangeAndOutputCommitTheTextFirst) {
    Click(50, 60);
    Keys(L"x");
    FForm.AddTool(ctPen);
    EXPECT_EQ(FForm.History().Count(), 2);
    FForm.AddTool(ctTextExit);
    Click(50, 60);
    Keys(L"y");
    FForm.Undo(); // commits "y", then undoes it
    EXPECT_EQ(FForm.History().Count(), 3);
    EXPECT_EQ(FForm.History().Position(), 1);
    Click(100, 100);
    Keys(L"z");
    FForm.AddTool(ctNone); // what every output does first
    EXPECT_EQ(FForm.History().Count(), 3);
    EXPECT_EQ(FForm.History().Position(), 2);
}

TEST_F(TextToolTest, ClickOutsideTheBoxCommitsAndDoesNotPlaceANewOne) {
    Click(50, 60);
    Keys(L"x");
    Click(300, 200);
    EXPECT_EQ(FForm.History().Count(), 2);
    EXPECT_FALSE(Text().IsStateRedact());
}

TEST_F(TextToolTest, FrameBandDragsTheBoxAndTheTextAreaIsInert) {
    Click(50, 60);
    Keys(L"abcdef\rx"); // box (50, 60)-(118, 110)
    const TRubberBandLayerEx& frame = *Text().Frame();
    struct TPt {
        int X, Y;
        bool Band;
    };
    for (const TPt p : {TPt{50, 60, true}, TPt{59, 85, true}, TPt{60, 85, false},
                        TPt{107, 99, false}, TPt{108, 99, true}, TPt{117, 109, true},
                        TPt{118, 85, false}, TPt{80, 59, false}, TPt{80, 100, true}})
        EXPECT_EQ(frame.HitTest(p.X, p.Y), p.Band) << p.X << "," << p.Y;

    Click(80, 85); // inside the text: neither commits nor moves
    EXPECT_TRUE(Text().IsStateRedact());
    EXPECT_EQ(Box(), (TRect{50, 60, 118, 110}));

    FForm.View().MouseDown({52, 62, mbLeft, ssLeft});
    FForm.View().MouseMove({152, 92, mbLeft, ssLeft});
    FForm.View().MouseUp({152, 92, mbLeft, {}});
    EXPECT_TRUE(Text().IsStateRedact());
    EXPECT_EQ(Box(), (TRect{150, 90, 218, 140}));
    EXPECT_EQ(Text().Location(), Box());
}

TEST_F(TextToolTest, CaretBlinksEvery700MsAndAKeyRestartsTheClock) {
    Click(50, 60);
    EXPECT_TRUE(Text().CaretVisible());
    FHost.Ticks += 699;
    FForm.TimerTick();
    EXPECT_TRUE(Text().CaretVisible());
    FHost.Ticks += 1;
    FForm.TimerTick();
    EXPECT_FALSE(Text().CaretVisible());
    FHost.Ticks += 500;
    Keys(L"a");
    EXPECT_TRUE(Text().CaretVisible());
    FHost.Ticks += 600;
    FForm.TimerTick();
    EXPECT_TRUE(Text().CaretVisible());
    FHost.Ticks += 100;
    FForm.TimerTick();
    EXPECT_FALSE(Text().CaretVisible());
}

TEST_F(TextToolTest, WaitingTextToolFollowsTheSelectionAPlacedBoxStays) {
    // Drag the selection's right edge: the waiting layer covers the new
    // selection, so a click in the added part places a box.
    FForm.View().MouseMove({400, 150, {}, {}});
    FForm.View().MouseDown({400, 150, mbLeft, ssLeft});
    FForm.View().MouseMove({500, 150, mbLeft, ssLeft});
    FForm.View().MouseUp({500, 150, mbLeft, {}});
    EXPECT_EQ(Text().Location(), (TRect{10, 10, 500, 300}));
}
} // namespace
