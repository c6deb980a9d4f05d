// The text tool under any sequence of typed characters, pastes, caret keys,
// Backspace, Delete and Enter. After every key: the caret is inside the text,
// no line holds a line break, the box fits the text, and, when every
// character arrives whole (a surrogate pair as its two halves in a row, as
// the system sends them), no pair is ever split or left with the caret
// between its halves.
#include "FuzzCheck.h"
#include "annotate/DrawImageLayer.h"
#include "annotate/TextEditToolLayer.h"
#include "capture/RubberBandLayerEx.h"
#include "gfx/ImageView.h"
#include "gfx/Point.h"
#include "settings/SettingsUnit.h"
#include "unit/fakes/FakeTextRasterizer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

namespace {
bool High(wchar_t c) {
    return unsigned(c) >= 0xD800 && unsigned(c) <= 0xDBFF;
}
bool Low(wchar_t c) {
    return unsigned(c) >= 0xDC00 && unsigned(c) <= 0xDFFF;
}

// One character as UTF-16 code units: whole code points, or any unit.
std::wstring RandomChar(FuzzedDataProvider& in, bool whole) {
    if (!whole) return std::wstring(1, wchar_t(in.ConsumeIntegral<std::uint16_t>()));
    // Mostly a few interesting ranges: control codes, Latin, Cyrillic, pairs.
    static constexpr std::uint32_t Starts[] = {0, 0x20, 0x400, 0x1F600, 0x10FF80};
    std::uint32_t cp = in.ConsumeBool() ? Starts[in.ConsumeIntegralInRange(0, 4)] +
                                              in.ConsumeIntegralInRange(0, 127)
                                        : in.ConsumeIntegralInRange<std::uint32_t>(0, 0x10FFFF);
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
    if (cp < 0x10000) return std::wstring(1, wchar_t(cp));
    cp -= 0x10000;
    return {wchar_t(0xD800 + (cp >> 10)), wchar_t(0xDC00 + (cp & 0x3FF))};
}

void CheckState(const TTextEditToolLayer& tool, const TFakeTextRasterizer& raster, bool whole,
                TPoint corner) {
    const auto& lines = tool.Lines();
    const int x = tool.CaretX(), y = tool.CaretY();
    FUZZ_CHECK(!lines.empty() && y >= 0 && std::size_t(y) < lines.size());
    FUZZ_CHECK(x >= 0 && std::size_t(x) <= lines[std::size_t(y)].size());
    std::wstring joined;
    std::size_t widest = 1; // the box is never narrower than one "A"
    for (const auto& line : lines) {
        FUZZ_CHECK(line.find_first_of(L"\r\n") == std::wstring::npos);
        joined += line + L"\r\n";
        widest = std::max(widest, line.size());
        if (!whole) continue;
        for (std::size_t i = 0; i < line.size(); ++i) {
            FUZZ_CHECK(!High(line[i]) || (i + 1 < line.size() && Low(line[i + 1])));
            FUZZ_CHECK(!Low(line[i]) || (i > 0 && High(line[i - 1])));
        }
    }
    FUZZ_CHECK(tool.Text() == joined);
    if (whole) {
        const auto& line = lines[std::size_t(y)];
        FUZZ_CHECK(x == 0 || std::size_t(x) == line.size() || !Low(line[std::size_t(x)]));
    }
    const TFontDesc font{TextFontName, TextFontSize, TextFontStyle};
    const int m = TTextEditToolLayer::Margin;
    const TRect box = tool.Frame()->Location();
    FUZZ_CHECK(box.Left == corner.X && box.Top == corner.Y);
    FUZZ_CHECK(box.Width() == int(widest) * raster.Advance(font) + 2 * m);
    FUZZ_CHECK(box.Height() == int(lines.size()) * raster.LineHeight(font) + 2 * m);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    TextFontSize = 2; // 2 px per character, 3 per line: small images, fast keys
    const bool whole = in.ConsumeBool();
    std::wstring clipboard;
    std::uint32_t ticks = 0;
    TFakeTextRasterizer raster;
    TImageView view;
    view.SetBitmap(TBitmap32(48, 32));
    auto* draw = view.AddLayer<TDrawImageLayer>();
    auto* tool = view.AddLayer<TTextEditToolLayer>(
        *draw, TRect{0, 0, 48, 32}, raster, [&] { return ticks; }, [&] { return clipboard; });
    const TPoint corner{in.ConsumeIntegralInRange(0, 47), in.ConsumeIntegralInRange(0, 31)};
    tool->MouseDown({corner.X, corner.Y, mbLeft, ssLeft});
    CheckState(*tool, raster, whole, corner);

    static constexpr int CaretKeys[] = {tkLeft, tkRight, tkUp, tkDown, tkHome, tkEnd, tkDelete};
    for (int steps = 0; steps < 32 && in.remaining_bytes() > 0; ++steps) {
        switch (in.ConsumeIntegralInRange(0, 9)) {
        case 0:
        case 1:
        case 2:
            for (const wchar_t c : RandomChar(in, whole))
                tool->KeyPress(c);
            break;
        case 3:
            tool->KeyPress(in.ConsumeBool() ? 8 : 127);
            break;
        case 4:
            tool->KeyPress(13);
            break;
        case 5:
            clipboard.clear();
            for (int n = in.ConsumeIntegralInRange(0, 8); n > 0; --n)
                clipboard += in.ConsumeIntegralInRange(0, 3) == 0 ? std::wstring(L"\r\n")
                                                                  : RandomChar(in, whole);
            tool->KeyPress(22);
            break;
        case 6:
        case 7:
        case 8:
            tool->KeyDown(CaretKeys[in.ConsumeIntegralInRange(0, 6)]);
            break;
        default:
            if (in.ConsumeBool()) {
                tool->KeyDown(in.ConsumeIntegral<std::uint8_t>());
            } else {
                ticks += in.ConsumeIntegral<std::uint16_t>();
                tool->TimerTick();
            }
            break;
        }
        CheckState(*tool, raster, whole, corner);
    }
    return 0;
}
