// Glyphs of the tools panel, the font panel and the actions panel, and the
// state pictures built from them. Glyphs are drawn on a 38 x 38 grid around
// the centre (19, 19); horizontal and vertical strokes sit on whole pixels.
#include "ui/ArtPaint.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

// Local frame along a direction: F(u, v) = origin + u * axis + v * normal.
struct TAxis {
    float Ox, Oy, Ux, Uy;
    TFloatPoint operator()(float u, float v) const {
        return {Ox + u * Ux - v * Uy, Oy + u * Uy + v * Ux};
    }
};
constexpr float R2 = 0.70710678f;
TAxis UpRight(float x, float y) {
    return {x, y, R2, -R2};
}

void ClosedStroke(TPainter& p, std::initializer_list<TFloatPoint> pts, float w, TColor32 ink) {
    TPoints loop(pts);
    loop.push_back(loop[0]);
    loop.push_back(loop[1]); // a join, not two caps, where the loop closes
    p.Stroke(loop, w, ink);
}

void ArrowGlyph(TPainter& p, TColor32 ink) {
    p.Stroke({{11, 27}, {22, 16}}, 2, ink);
    p.Fill(Poly({{28, 10}, {28, 20}, {18, 10}}), ink);
}

void PenGlyph(TPainter& p, TColor32 ink) {
    const TAxis F = UpRight(10.5f, 27.5f);
    ClosedStroke(p, {F(0, 0), F(6, 3.4f), F(21, 3.4f), F(21, -3.4f), F(6, -3.4f)}, 1.8f, ink);
    p.Stroke({F(6, 3.4f), F(6, -3.4f)}, 1.8f, ink);
    p.Stroke({F(17, 3.4f), F(17, -3.4f)}, 1.8f, ink);
    p.Fill(Poly({F(0, 0), F(2.6f, 1.5f), F(2.6f, -1.5f)}), ink);
}

void RectGlyph(TPainter& p, TColor32 ink) {
    p.Fill(Frame(10, 11, 28, 27, 2.5f, 2), ink);
}

void LineGlyph(TPainter& p, TColor32 ink) {
    p.Stroke({{11, 27}, {27, 11}}, 2, ink);
}

void MarkerGlyph(TPainter& p, TColor32 ink) {
    const TAxis F = UpRight(11, 23.5f);
    ClosedStroke(p, {F(4, 2.4f), F(7, 3.2f), F(18, 3.2f), F(18, -3.2f), F(7, -3.2f), F(4, -2.4f)},
                 1.8f, ink);
    p.Stroke({F(7, 3.2f), F(7, -3.2f)}, 1.8f, ink);
    p.Fill(Poly({F(0, -2.4f), F(0.8f, 1.2f), F(4, 2.4f), F(4, -2.4f)}), ink);
    p.Fill(RoundBox(9, 25, 27, 29, 1), Fade(ink, 0.5f));
}

void WidthGlyph(TPainter& p, TColor32 ink) {
    p.Fill(RoundBox(10, 11, 28, 12, 0.5f), ink);
    p.Fill(RoundBox(10, 17, 28, 19, 1), ink);
    p.Fill(RoundBox(10, 24, 28, 28, 2), ink);
}

void FillRectGlyph(TPainter& p, TColor32 ink) {
    p.Fill(Box(12, 13, 26, 25), Fade(ink, 0.45f));
    p.Fill(Frame(10, 11, 28, 27, 2.5f, 2), ink);
}

void TextGlyph(TPainter& p, TColor32 ink) {
    p.Fill(TShape{Box(11, 10, 27, 12), Box(11, 10, 13, 14), Box(25, 10, 27, 14),
                  Box(18, 10, 20, 28), Box(15, 26, 23, 28)},
           ink);
}

void StampGlyph(TPainter& p, TColor32 ink) {
    p.Fill(Circle(19, 19, 9.5f), ink);
    TShape one{Box(18, 13, 20, 25), Box(15, 23, 23, 25)};
    Append(one, StrokeShape(TPoints{{18.8f, 14}, {15.5f, 16.6f}}, 2));
    p.Erase(one);
}

// A drop, the usual sign for softening.
void BlurGlyph(TPainter& p, TColor32 ink) {
    TPoints drop{{19, 9.5f}};
    Append(drop, Arc(19, 21.5f, 6.5f, -35.7f, 215.7f));
    drop.push_back(drop[0]);
    drop.push_back(drop[1]);
    p.Stroke(drop, 2, ink);
    p.Stroke(Arc(19, 21.5f, 3.5f, 100, 170), 1.6f, ink);
}

TPoints UndoPath() {
    TPoints path{{11, 15}};
    Append(path, Arc(21.5f, 20.5f, 5.5f, -90, 90));
    path.push_back({14, 26});
    return path;
}

void UndoGlyph(TPainter& p, TColor32 ink) {
    p.Stroke(UndoPath(), 2, ink);
    p.Stroke({{14.5f, 11.5f}, {11, 15}, {14.5f, 18.5f}}, 2, ink);
}

void RedoGlyph(TPainter& p, TColor32 ink) {
    p.Stroke(MirrorX(UndoPath(), 19), 2, ink);
    p.Stroke(MirrorX({{14.5f, 11.5f}, {11, 15}, {14.5f, 18.5f}}, 19), 2, ink);
}

void BoldGlyph(TPainter& p, TColor32 ink) {
    p.Fill(Box(12, 10, 15, 28), ink);
    TPoints upper{{13.5f, 11.5f}};
    Append(upper, Arc(20, 15.25f, 3.75f, -90, 90));
    upper.push_back({13.5f, 19});
    TPoints lower{{13.5f, 19}};
    Append(lower, Arc(21, 22.75f, 3.75f, -90, 90));
    lower.push_back({13.5f, 26.5f});
    TShape b = StrokeShape(upper, 3, false);
    Append(b, StrokeShape(lower, 3, false));
    p.Fill(b, ink);
}

void ItalicGlyph(TPainter& p, TColor32 ink) {
    p.Fill(TShape{Box(17, 10, 26, 12), Box(12, 26, 21, 28)}, ink);
    p.Stroke({{21.5f, 11}, {16.5f, 27}}, 2.2f, ink, false);
}

void UnderlineGlyph(TPainter& p, TColor32 ink) {
    TPoints u{{13, 10}};
    Append(u, Arc(19, 18, 6, 180, 0));
    u.push_back({25, 10});
    p.Stroke(u, 2, ink, false);
    p.Fill(Box(11, 27, 27, 29), ink);
}

void StrikeGlyph(TPainter& p, TColor32 ink) {
    TPoints s = Arc(19, 14.5f, 4.5f, -30, -270);
    Append(s, Arc(19, 23.5f, 4.5f, -90, 150));
    p.Stroke(s, 2, ink);
    p.Fill(Box(10, 18, 28, 20), ink);
}

void CopyGlyph(TPainter& p, TColor32 ink) {
    p.Fill(Frame(10, 9, 23, 24, 2, 2), ink);
    p.Erase(RoundBox(13, 12, 30, 31, 3));
    p.Fill(Frame(15, 14, 28, 29, 2, 2), ink);
}

void CloseGlyph(TPainter& p, TColor32 ink) {
    p.Stroke({{12.5f, 12.5f}, {25.5f, 25.5f}}, 2, ink);
    p.Stroke({{25.5f, 12.5f}, {12.5f, 25.5f}}, 2, ink);
}

enum TState { stNormal, stHover, stDown, stDisabled };
constexpr const char* StateNames[] = {"normal", "hover", "down", "disabled"};

// Rest: bare glyph; hover and press: a plate; latched: an accent plate.
TBitmap32 ButtonPicture(const TGlyph& glyph, TState s, bool latched) {
    TBitmap32 b(38, 38, 0);
    TPainter p(b);
    TColor32 plate = 0, ink = s == stNormal ? pal::Ink : pal::InkHot;
    if (latched) {
        constexpr TColor32 plates[] = {pal::Accent, pal::AccentHot, pal::AccentDown,
                                       pal::AccentOff};
        plate = plates[s];
        ink = s == stDisabled ? Fade(pal::InkHot, 0.45f) : pal::InkHot;
    } else if (s == stHover) {
        plate = pal::Plate;
    } else if (s == stDown) {
        plate = pal::PlateDown;
    } else if (s == stDisabled) {
        ink = pal::InkOff;
    }
    if (plate) p.Fill(RoundBox(3, 3, 35, 35, 6), plate);
    p.Draw(GlyphPicture(38, 38, glyph, ink), 0, s == stDown ? 1 : 0); // a press sinks the glyph
    return b;
}

// Names "<base>.<state>" and, for latching buttons, "<base>.<state>2".
void AddButton(TCatalog& c, const std::string& base, TGlyph glyph, bool latches, bool disables) {
    for (int latched = 0; latched <= (latches ? 1 : 0); ++latched)
        for (int s = stNormal; s <= (disables ? stDisabled : stDown); ++s)
            c[base + "." + StateNames[s] + (latched ? "2" : "")] = [=] {
                return ButtonPicture(glyph, TState(s), latched != 0);
            };
}

// The colour button's swatch shows through a hole; the rest hides the fill.
TBitmap32 ColourPicture(TState s) {
    TBitmap32 b(48, 38, pal::Window);
    TPainter p(b);
    if (s != stNormal) p.Fill(RoundBox(3, 3, 45, 35, 6), s == stDown ? pal::PlateDown : pal::Plate);
    p.Erase(RoundBox(12, 10, 36, 28, 3));
    p.Fill(Frame(10, 8, 38, 30, 5, 2), s == stNormal ? pal::Ink : pal::InkHot);
    return b;
}

TBitmap32 UploadPicture(TState s) {
    constexpr TColor32 fills[] = {pal::Accent, pal::AccentHot, pal::AccentDown};
    TBitmap32 b(38, 33, fills[s]);
    TPainter p(b);
    const float dy = s == stDown ? 2 : 1;
    p.Fill(TShape{Circle(13.5f, 17.5f + dy, 4.5f), Circle(19.5f, 14 + dy, 6.5f),
                  Circle(25, 18 + dy, 4.5f), RoundBox(9, 17 + dy, 29.5f, 23 + dy, 3.5f)},
           pal::InkHot);
    p.Stroke({{19.5f, 21 + dy}, {19.5f, 13.5f + dy}}, 2, fills[s]);
    p.Stroke({{16.5f, 16.5f + dy}, {19.5f, 13.5f + dy}, {22.5f, 16.5f + dy}}, 2, fills[s]);
    return b;
}

// Bare cross for small boxes; from 20 pixels up a round plate under the pointer.
TBitmap32 ClosePicture(int size, TState s) {
    TBitmap32 b(size, size, 0);
    TPainter p(b);
    const float z = float(size), c = z / 2;
    const bool plated = size >= 20;
    if (plated && s != stNormal)
        p.Fill(Circle(c, c, c - 0.5f), s == stDown ? pal::PlateDown : pal::Plate);
    const float m = plated ? z * 0.33f : z * 0.22f;
    const float w = std::max(1.5f, z / (plated ? 16.0f : 9.0f));
    const TColor32 ink =
        s == stNormal ? pal::Ink : (s == stDown && !plated ? pal::Sky : pal::InkHot);
    p.Stroke({{m, m}, {z - m, z - m}}, w, ink);
    p.Stroke({{z - m, m}, {m, z - m}}, w, ink);
    return b;
}

TBitmap32 InfoPicture(int size) {
    TBitmap32 b(size, size, 0);
    TPainter p(b);
    const float c = float(size) / 2, z = float(size);
    const float stem = size % 2 ? 3 : 4; // even width in an even box keeps it on whole pixels
    p.Fill(Ring(c, c, c - 0.5f, z / 16), pal::Sky);
    p.Fill(Circle(c, z * 0.3f, stem * 0.7f), pal::Sky);
    p.Fill(Box(c - stem / 2, std::round(z * 0.42f), c + stem / 2, std::round(z * 0.74f)), pal::Sky);
    return b;
}

} // namespace

void FloppyGlyph(TPainter& p, TColor32 ink) {
    ClosedStroke(p, {{10, 10}, {24, 10}, {28, 14}, {28, 28}, {10, 28}}, 2, ink);
    p.Stroke({{14, 10}, {14, 15}, {22, 15}, {22, 10}}, 2, ink);
    p.Stroke({{13, 28}, {13, 21}, {25, 21}, {25, 28}}, 2, ink);
}

void MarkGlyph(TPainter& p, float x, float y, float s, TColor32 frame, TColor32 dot) {
    const float th = std::max(1.0f, std::round(s * 0.13f)), len = std::round(s * 0.4f);
    TShape brackets;
    for (float bx : {x, x + s - len})
        for (float by : {y, y + s - th})
            brackets.push_back(Box(bx, by, bx + len, by + th));
    for (float bx : {x, x + s - th})
        for (float by : {y, y + s - len})
            brackets.push_back(Box(bx, by, bx + th, by + len));
    p.Fill(brackets, frame);
    p.Fill(Circle(x + s / 2, y + s / 2, s * 0.2f), dot);
}

void AddIconArt(TCatalog& c) {
    AddButton(c, "tool.arrow", ArrowGlyph, true, true);
    AddButton(c, "tool.pen", PenGlyph, true, true);
    AddButton(c, "tool.rect", RectGlyph, true, true);
    AddButton(c, "tool.line", LineGlyph, true, true);
    AddButton(c, "tool.marker", MarkerGlyph, true, true);
    AddButton(c, "tool.fillrect", FillRectGlyph, true, true);
    AddButton(c, "tool.text", TextGlyph, true, true);
    AddButton(c, "tool.stamp", StampGlyph, true, true);
    AddButton(c, "tool.blur", BlurGlyph, true, true);
    AddButton(c, "tool.width", WidthGlyph, false, false);
    AddButton(c, "tool.undo", UndoGlyph, false, true);
    AddButton(c, "tool.redo", RedoGlyph, false, true);
    for (int s = stNormal; s <= stDown; ++s)
        c[std::string("tool.color.") + StateNames[s]] = [s] { return ColourPicture(TState(s)); };

    AddButton(c, "font.bold", BoldGlyph, true, false);
    AddButton(c, "font.italic", ItalicGlyph, true, false);
    AddButton(c, "font.underline", UnderlineGlyph, true, false);
    AddButton(c, "font.strike", StrikeGlyph, true, false);

    AddButton(c, "action.copy", CopyGlyph, false, false);
    AddButton(c, "action.save", FloppyGlyph, false, false);
    AddButton(c, "action.close", CloseGlyph, false, false);
    for (int s = stNormal; s <= stDown; ++s) {
        c[std::string("action.upload.") + StateNames[s]] = [s] { return UploadPicture(TState(s)); };
        for (int size : {14, 15, 20, 32, 38})
            c["close." + std::to_string(size) + "." + StateNames[s]] = [=] {
                return ClosePicture(size, TState(s));
            };
    }
    for (int size : {35, 40})
        c["info." + std::to_string(size)] = [size] { return InfoPicture(size); };
}

} // namespace art
