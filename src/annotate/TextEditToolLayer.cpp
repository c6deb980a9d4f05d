#include "annotate/TextEditToolLayer.h"

#include "capture/RubberBandLayerEx.h"
#include "gfx/ImageView.h"
#include "gfx/Stroker.h"
#include "gfx/TextRasterizer.h"
#include "settings/SettingsUnit.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <utility>

namespace {
bool IsHighSurrogate(wchar_t c) {
    return unsigned(c) >= 0xD800 && unsigned(c) <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
    return unsigned(c) >= 0xDC00 && unsigned(c) <= 0xDFFF;
}
// Code units of the character before / after position x (a pair counts as
// one character where wchar_t is 16-bit), so the caret never splits one.
int StepBack(const std::wstring& s, int x) {
    if (x >= 2 && IsLowSurrogate(s[std::size_t(x) - 1]) && IsHighSurrogate(s[std::size_t(x) - 2]))
        return 2;
    return 1;
}
int StepForward(const std::wstring& s, int x) {
    if (std::size_t(x) + 1 < s.size() && IsHighSurrogate(s[std::size_t(x)]) &&
        IsLowSurrogate(s[std::size_t(x) + 1]))
        return 2;
    return 1;
}
int Len(const std::wstring& s) {
    return int(s.size());
}
// Up and Down keep the column where the line allows, but not inside a pair.
int ColumnIn(const std::wstring& s, int x) {
    x = std::min(x, Len(s));
    if (x > 0 && x < Len(s) && IsHighSurrogate(s[std::size_t(x) - 1]) &&
        IsLowSurrogate(s[std::size_t(x)]))
        --x;
    return x;
}
} // namespace

TTextEditToolLayer::TTextEditToolLayer(TImageView& imgv, TDrawImageLayer& DrawBitmap,
                                       const TRect& L, const TTextRasterizer& text,
                                       TTickCount tickCount, TClipboardText clipboardText)
    : TBaseToolLayer(imgv, DrawBitmap, L), FText(text), FTickCount(std::move(tickCount)),
      FClipboardText(std::move(clipboardText)) {
    SetDrawMode(dmBlend);
    if (FTickCount) FTimerStart = FTickCount();
}

TFontDesc TTextEditToolLayer::TextFont() const {
    return {TextFontName, TextFontSize, TextFontStyle};
}

void TTextEditToolLayer::MouseDown(const TViewMouse& m) {
    if (FDrawingLine) Place(m.X, m.Y);
}

void TTextEditToolLayer::MouseMove(const TViewMouse&) {
    SetCursor(FDrawingLine ? crCross : crIBeam);
}

void TTextEditToolLayer::Place(int x, int y) {
    RBLayer = FImgView.AddLayer<TRubberBandLayerEx>();
    RBLayer->FMagrin = Margin;
    RBLayer->ChildLayer = this;
    FDrawingLine = false;
    TFontDesc probe = DefaultDialogFont();
    probe.Size = 20;
    const TTextExtent w = FText.TextExtent(probe, L"W");
    RBLayer->SetLocation({x, y, x + w.Width + 2 * Margin, y + w.Height + 2 * Margin});
    SetCursor(crIBeam);
    // The caret shows at once rather than one blink later.
    Handled();
}

void TTextEditToolLayer::Handled() {
    FCaretVis = true;
    FTimerOn = true;
    if (FTickCount) FTimerStart = FTickCount();
    RedrawText();
}

void TTextEditToolLayer::TimerTick() {
    if (!FTimerOn || !FTickCount) return;
    const std::uint32_t now = FTickCount();
    if (now - FTimerStart < CaretInterval) return;
    FTimerStart = now;
    FCaretVis = !FCaretVis;
    RedrawText();
}

void TTextEditToolLayer::StopDrawing() {
    FTimerOn = false;
    FCaretVis = false;
    RedrawText();
}

void TTextEditToolLayer::RemoveFrame() {
    if (!RBLayer) return;
    RBLayer->ChildLayer = nullptr;
    FImgView.DeleteLayer(RBLayer);
    RBLayer = nullptr;
}

std::wstring TTextEditToolLayer::Text() const {
    std::wstring s;
    for (const std::wstring& line : FLines)
        s += line + L"\r\n";
    return s;
}

bool TTextEditToolLayer::TextIsBlank() const {
    for (const std::wstring& line : FLines)
        for (wchar_t c : line)
            if (unsigned(c) > 32 && !std::iswspace(std::wint_t(c)) &&
                !std::iswcntrl(std::wint_t(c)))
                return false;
    return true;
}

void TTextEditToolLayer::Insert(const std::wstring& s) {
    std::wstring& line = FLines[std::size_t(FCaretPos_LY)];
    line.insert(std::size_t(FCaretPos_LX), s);
    FCaretPos_LX += Len(s);
}

void TTextEditToolLayer::KeyPress(wchar_t Key) {
    if (Key == 127) Key = 8;
    if (unsigned(Key) < 30 && Key != 8 && Key != 13 && Key != 22) return;
    if (FDrawingLine) return;
    int& LX = FCaretPos_LX;
    int& LY = FCaretPos_LY;
    if (Key == 8) {
        if (LX > 0) {
            std::wstring& line = FLines[std::size_t(LY)];
            const int n = StepBack(line, LX);
            line.erase(std::size_t(LX - n), std::size_t(n));
            LX -= n;
        } else if (LY > 0) {
            const int n = Len(FLines[std::size_t(LY) - 1]);
            FLines[std::size_t(LY) - 1] += FLines[std::size_t(LY)];
            FLines.erase(FLines.begin() + LY);
            --LY;
            LX = n;
        }
    } else if (Key == 13) {
        std::wstring& line = FLines[std::size_t(LY)];
        std::wstring rest = line.substr(std::size_t(LX));
        line.resize(std::size_t(LX));
        FLines.insert(FLines.begin() + LY + 1, std::move(rest));
        LX = 0;
        ++LY;
    } else if (Key == 22) {
        std::wstring pasted = FClipboardText ? FClipboardText() : std::wstring();
        std::erase_if(pasted, [](wchar_t c) { return c == 7 || c == 10 || c == 13; });
        Insert(pasted);
    } else {
        Insert(std::wstring(1, Key));
    }
    Handled();
}

bool TTextEditToolLayer::KeyDown(int Key) {
    if (FDrawingLine) return false;
    int& LX = FCaretPos_LX;
    int& LY = FCaretPos_LY;
    const int lines = int(FLines.size());
    const std::wstring& line = FLines[std::size_t(LY)];
    switch (Key) {
    case tkLeft:
        if (LX > 0) {
            LX -= StepBack(line, LX);
        } else if (LY > 0) {
            --LY;
            LX = Len(FLines[std::size_t(LY)]);
        }
        break;
    case tkRight:
        if (LX < Len(line)) {
            LX += StepForward(line, LX);
        } else if (LY < lines - 1) {
            ++LY;
            LX = 0;
        }
        break;
    case tkUp:
        if (LY > 0) {
            --LY;
            LX = ColumnIn(FLines[std::size_t(LY)], LX);
        }
        break;
    case tkDown:
        if (LY < lines - 1) {
            ++LY;
            LX = ColumnIn(FLines[std::size_t(LY)], LX);
        }
        break;
    case tkHome:
        LX = 0;
        break;
    case tkEnd:
        LX = Len(line);
        break;
    case tkDelete:
        if (LX == Len(line)) {
            if (LY < lines - 1) {
                FLines[std::size_t(LY)] += FLines[std::size_t(LY) + 1];
                FLines.erase(FLines.begin() + LY + 1);
            }
        } else {
            std::wstring& l = FLines[std::size_t(LY)];
            l.erase(std::size_t(LX), std::size_t(StepForward(l, LX)));
        }
        break;
    default:
        return false;
    }
    Handled();
    return true;
}

void TTextEditToolLayer::RedrawText() {
    if (FDrawingLine || !RBLayer) return;
    const TFontDesc font = TextFont();
    const TTextExtent a = FText.TextExtent(font, L"A");
    int tw = a.Width;
    for (const std::wstring& line : FLines)
        tw = std::max(tw, FText.TextExtent(font, line).Width);
    const int lh = a.Height;
    const int th = lh * std::max<int>(1, int(FLines.size()));

    // The box fits the text exactly, from its top-left corner.
    const TRect box = RBLayer->Location();
    const TRect fitted{box.Left, box.Top, box.Left + tw + 2 * Margin, box.Top + th + 2 * Margin};
    RBLayer->SetLocation(fitted);

    // Drawn into the spare buffer, which then swaps with the shown one: no
    // allocation per key once the box has been this large.
    TBitmap32& image = FSpare;
    image.SetSize(fitted.Width(), fitted.Height());
    image.Clear(DrawImageEmpty);
    const TRect textArea{Margin, Margin, Margin + tw, Margin + th};
    for (std::size_t i = 0; i < FLines.size(); ++i)
        if (!FLines[i].empty())
            DrawTextAt(image, Margin, Margin + int(i) * lh, FLines[i], font, Settings.pencolor,
                       FText, textArea, cmMerge);
    if (FCaretVis) {
        const std::size_t y = std::size_t(FCaretPos_LY);
        int x = 0;
        if (FCaretPos_LX > 0 && y < FLines.size())
            x = FText
                    .TextExtent(font,
                                std::wstring_view(FLines[y]).substr(0, std::size_t(FCaretPos_LX)))
                    .Width;
        if (x == 0) x = 2;
        const float cx = float(Margin + x);
        const std::array<TFloatPoint, 2> caret = {
            TFloatPoint{cx, float(Margin + FCaretPos_LY * lh + 2)},
            TFloatPoint{cx, float(Margin + (FCaretPos_LY + 1) * lh - 2)}};
        TStroker{3.0f, esRound, jsRound}.Draw(image, caret, 0xFF000000);
    }
    Changed();
    std::swap(Bitmap(), FSpare);
    Changed();
}
