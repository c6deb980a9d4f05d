#include "ui/Canvas.h"

#include "gfx/PolygonFill.h"

#include <algorithm>
#include <cmath>

TCanvas::TCanvas(TBitmap32& target, TPoint origin, const TRect& clip, const TTextRasterizer& text)
    : FTarget(target), FOrigin(origin), FClip(clip.Intersect(target.BoundsRect())), FText(text) {}

void TCanvas::FillRect(const TRect& r, TColor32 colour) {
    const TRect area = r.Offset(FOrigin.X, FOrigin.Y).Intersect(FClip);
    if ((colour >> 24) == 255)
        FTarget.FillRect(area, colour);
    else
        FTarget.FillRectBlend(area, colour);
}

void TCanvas::FrameRect(const TRect& r, TColor32 colour, int width) {
    if (r.IsEmpty() || width <= 0) return;
    const int w = std::min({width, (r.Width() + 1) / 2, (r.Height() + 1) / 2});
    FillRect({r.Left, r.Top, r.Right, r.Top + w}, colour);
    FillRect({r.Left, r.Bottom - w, r.Right, r.Bottom}, colour);
    FillRect({r.Left, r.Top + w, r.Left + w, r.Bottom - w}, colour);
    FillRect({r.Right - w, r.Top + w, r.Right, r.Bottom - w}, colour);
}

void TCanvas::Draw(int x, int y, const TPicture& picture) {
    if (!picture.HasGraphic()) return;
    if (!picture.Transparent) {
        Draw(x, y, picture.Bitmap);
        return;
    }
    const int dx = x + FOrigin.X, dy = y + FOrigin.Y;
    const TRect area = TRect{dx, dy, dx + picture.Width(), dy + picture.Height()}.Intersect(FClip);
    if (area.IsEmpty()) return;
    FTarget.DrawBlend(area.Left, area.Top, picture.Bitmap, area.Offset(-dx, -dy));
}

void TCanvas::Draw(int x, int y, const TBitmap32& bitmap) {
    const int dx = x + FOrigin.X, dy = y + FOrigin.Y;
    const TRect area = TRect{dx, dy, dx + bitmap.Width(), dy + bitmap.Height()}.Intersect(FClip);
    if (area.IsEmpty()) return;
    FTarget.Draw(area.Left, area.Top, bitmap, area.Offset(-dx, -dy));
}

namespace {
TPolygon RoundRectPolygon(float l, float t, float r, float b, float rx, float ry) {
    rx = std::clamp(rx, 0.0f, (r - l) / 2);
    ry = std::clamp(ry, 0.0f, (b - t) / 2);
    TPolygon p;
    constexpr int Steps = 8; // per quarter: smooth at the small radii windows use
    const float cx[4] = {r - rx, l + rx, l + rx, r - rx};
    const float cy[4] = {t + ry, t + ry, b - ry, b - ry};
    for (int q = 0; q < 4; ++q)
        for (int i = 0; i <= Steps; ++i) {
            const double a = (q + double(i) / Steps) * 3.14159265358979 / 2;
            p.push_back({cx[q] + rx * float(std::cos(a)), cy[q] - ry * float(std::sin(a))});
        }
    return p;
}
} // namespace

void TCanvas::RoundRect(const TRect& r, float rx, float ry, TColor32 penColour,
                        TColor32 brushColour, int penWidth) {
    if (r.IsEmpty()) return;
    const float l = float(r.Left + FOrigin.X), t = float(r.Top + FOrigin.Y);
    const float rr = float(r.Right + FOrigin.X), b = float(r.Bottom + FOrigin.Y);
    const std::vector<TPolygon> outer{RoundRectPolygon(l, t, rr, b, rx, ry)};
    const float pw = float(std::max(penWidth, 0));
    if (pw > 0 && (penColour >> 24) != 0) PolygonFillAA(FTarget, outer, penColour, 16, FClip);
    if (rr - l > 2 * pw && b - t > 2 * pw) {
        const TPolygon inner = RoundRectPolygon(l + pw, t + pw, rr - pw, b - pw,
                                                std::max(rx - pw, 0.0f), std::max(ry - pw, 0.0f));
        PolygonFillAA(FTarget, std::vector<TPolygon>{inner}, brushColour, 16, FClip);
    }
}

TTextExtent TCanvas::TextExtent(const TFont& font, std::wstring_view text) const {
    return FText.TextExtent(font, text);
}

int TCanvas::TextWidth(const TFont& font, std::wstring_view text) const {
    return TextExtent(font, text).Width;
}

int TCanvas::TextHeight(const TFont& font, std::wstring_view text) const {
    return TextExtent(font, text).Height;
}

void TCanvas::TextOut(int x, int y, std::wstring_view text, const TFont& font) {
    DrawTextAt(FTarget, x + FOrigin.X, y + FOrigin.Y, text, font, Color32FromColor(font.Color),
               FText, FClip);
}

void TCanvas::TextRect(const TRect& r, const TTextLayout& layout, const TFont& font,
                       TAlignment align, bool clip) {
    const TRect box = r.Offset(FOrigin.X, FOrigin.Y);
    const TRect c = clip ? box.Intersect(FClip) : FClip;
    if (c.IsEmpty()) return;
    const TColor32 colour = Color32FromColor(font.Color);
    int y = box.Top;
    for (const TTextLine& line : layout.Lines) {
        if (y >= c.Bottom) break;
        int x = box.Left;
        if (align == taRightJustify)
            x = box.Right - line.Width;
        else if (align == taCenter)
            x = box.Left + (box.Width() - line.Width) / 2;
        if (y + layout.LineHeight > c.Top)
            DrawTextAt(FTarget, x, y, line.Text, font, colour, FText, c);
        y += layout.LineHeight;
    }
}
