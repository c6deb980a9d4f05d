// Pictures of the settings dialog's controls, the lists, the slider, the
// survey stars, the separators and the captioned buttons.
#include "ui/ArtPaint.h"

#include <cmath>
#include <numbers>

namespace art {

namespace {

enum TState { stNormal, stHover, stDown };
constexpr const char* StateNames[] = {"normal", "hover", "down"};
constexpr TColor32 BoxLine = 0xFF7589A6; // an empty check box or radio ring

// Ring colour and fill of an empty box per state.
TColor32 EmptyRing(TState s) {
    return s == stNormal ? BoxLine : s == stHover ? pal::InkHot : pal::Sky;
}
TColor32 Filled(TState s) {
    constexpr TColor32 fills[] = {pal::Accent, pal::AccentHot, pal::AccentDown};
    return fills[s];
}

TBitmap32 CheckPicture(bool on, TState s) {
    TBitmap32 b(20, 21, 0);
    TPainter p(b);
    if (on) {
        p.Fill(RoundBox(1, 2, 19, 20, 4), Filled(s));
        p.Stroke({{5.5f, 11.2f}, {8.6f, 14.3f}, {14.5f, 8.3f}}, 2, pal::InkHot);
    } else {
        if (s != stNormal) p.Fill(RoundBox(1, 2, 19, 20, 4), pal::PlateDown);
        p.Fill(Frame(1, 2, 19, 20, 4, 2), EmptyRing(s));
    }
    return b;
}

TBitmap32 RadioPicture(bool on, TState s) {
    TBitmap32 b(20, 21, 0);
    TPainter p(b);
    if (on) {
        p.Fill(Circle(10, 11, 9), Filled(s));
        p.Fill(Circle(10, 11, 3.5f), pal::InkHot);
    } else {
        if (s != stNormal) p.Fill(Circle(10, 11, 9), pal::PlateDown);
        p.Fill(Ring(10, 11, 9, 2), EmptyRing(s));
    }
    return b;
}

void SlidersGlyph(TPainter& p, TColor32 ink) {
    const float knobs[][2] = {{14, 12}, {24, 19}, {17, 26}};
    TShape lines{Box(9, 11, 29, 13), Box(9, 18, 29, 20), Box(9, 25, 29, 27)};
    p.Fill(lines, ink);
    for (const auto& k : knobs) {
        p.Erase(Circle(k[0], k[1], 3.6f));
        p.Fill(Ring(k[0], k[1], 3.6f, 1.8f), ink);
    }
}

void KeyboardGlyph(TPainter& p, TColor32 ink) {
    TShape keys = Frame(8, 11, 30, 28, 3, 2);
    for (float x : {12.0f, 16.0f, 20.0f, 24.0f}) {
        keys.push_back(Box(x, 15, x + 2, 17));
        keys.push_back(Box(x, 19, x + 2, 21));
    }
    keys.push_back(Box(14, 23, 24, 25));
    p.Fill(keys, ink);
}

// Unselected tabs are darker than the page; the selected one takes the page's
// colour with an accent edge, so it reads as part of the page.
TBitmap32 TabPicture(int h, const TGlyph& glyph, bool selected, TState s) {
    constexpr TColor32 page = 0xFF0C2342;
    constexpr TColor32 rest[] = {pal::Window, 0xFF12294A, 0xFF0E2240};
    TBitmap32 b(120, h, selected ? page : rest[s]);
    TPainter p(b);
    TColor32 ink = s == stNormal ? pal::Ink : pal::InkHot;
    if (selected) {
        p.Fill(Box(0, 0, 3, float(h)), s == stDown ? pal::AccentDown : pal::Accent);
        ink = s == stNormal ? pal::Sky : pal::InkHot;
    }
    p.Draw(GlyphPicture(38, 38, glyph, ink), 41, 22 + (s == stDown ? 1 : 0));
    return b;
}

TBitmap32 ComboArrowPicture(TState s) {
    TBitmap32 b(27, 27, 0);
    TPainter p(b);
    const TColor32 ink = s == stNormal ? pal::Ink : s == stHover ? pal::InkHot : pal::Sky;
    p.Stroke({{9, 11.5f}, {13.5f, 16}, {18, 11.5f}}, 2, ink);
    return b;
}

TBitmap32 Dot(int w, int h, float r, TColor32 c) {
    TBitmap32 b(w, h, 0);
    TPainter(b).Fill(Circle(float(w) / 2, float(h) / 2, r), c);
    return b;
}

TBitmap32 ThumbPicture() {
    TBitmap32 b(16, 16, 0);
    TPainter p(b);
    p.Fill(Circle(8, 8, 7.5f), pal::Accent);
    p.Fill(Circle(8, 8, 3.5f), pal::InkHot);
    return b;
}

TBitmap32 Rule(int w, int h, TColor32 c) {
    TBitmap32 b(w, h, 0);
    TPainter(b).Fill(RoundBox(0, 0, float(w), float(h), 1), c);
    return b;
}

TBitmap32 ToolsSeparator() {
    TBitmap32 b(10, 38, 0);
    TPainter(b).Fill(RoundBox(4, 9, 6, 29, 1), pal::Rule);
    return b;
}

// An arc with an arrowhead where it ends, pointing along the travel.
void ArcArrow(TPainter& p, float cx, float cy, float r, float a0, float a1, float w, float head,
              TColor32 ink) {
    const float a = a1 * std::numbers::pi_v<float> / 180, dir = a1 > a0 ? 1.0f : -1.0f;
    const TFloatPoint e{cx + r * std::cos(a), cy + r * std::sin(a)};
    const TFloatPoint t{-std::sin(a) * dir, std::cos(a) * dir}, n{-t.Y, t.X};
    p.Stroke(Arc(cx, cy, r, a0, a1 - dir * head * 20 / r), w, ink);
    p.Fill(Poly({{e.X + t.X * head * 0.6f, e.Y + t.Y * head * 0.6f},
                 {e.X - t.X * head * 0.5f + n.X * head * 0.7f,
                  e.Y - t.Y * head * 0.5f + n.Y * head * 0.7f},
                 {e.X - t.X * head * 0.5f - n.X * head * 0.7f,
                  e.Y - t.Y * head * 0.5f - n.Y * head * 0.7f}}),
           ink);
}

TBitmap32 ResetPicture(bool hot) {
    TBitmap32 b(16, 16, 0);
    TPainter p(b);
    ArcArrow(p, 8, 8, 5.5f, 170, -120, 1.7f, 4.6f, hot ? pal::InkHot : pal::Ink);
    return b;
}

TPolygon Star(float cx, float cy, float outer, float inner) {
    TPolygon s;
    for (int i = 0; i < 10; ++i) {
        const float a = (-90 + 36.0f * float(i)) * std::numbers::pi_v<float> / 180;
        const float r = i % 2 ? inner : outer;
        s.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    OrientPositive(s);
    return s;
}

TBitmap32 StarPicture(bool filled, TState s) {
    TBitmap32 b(40, 40, 0);
    TPainter p(b);
    const TPolygon star = Star(20, 21.5f, 16, 7);
    TPoints loop(star);
    loop.push_back(star[0]);
    loop.push_back(star[1]);
    if (filled) {
        constexpr TColor32 golds[] = {pal::Gold, 0xFFFFD369, 0xFFEBAA1E};
        p.Fill(star, golds[s]);
        p.Stroke(loop, 2.5f, golds[s]); // rounds the points
    } else {
        p.Stroke(loop, 2, s == stNormal ? pal::Ink : s == stHover ? pal::InkHot : pal::Gold);
    }
    return b;
}

TBitmap32 PrimaryButton(int w, int h, TState s) {
    TBitmap32 b(w, h, 0);
    TPainter(b).Fill(RoundBox(0, 0, float(w), float(h), 4), Filled(s));
    return b;
}

TBitmap32 SecondaryButton(int w, int h, TState s) {
    TBitmap32 b(w, h, 0);
    TPainter p(b);
    if (s != stNormal)
        p.Fill(RoundBox(0, 0, float(w), float(h), 4), s == stHover ? pal::Plate : pal::PlateDown);
    p.Fill(Frame(0, 0, float(w), float(h), 4, 1), s == stHover ? 0xFF7A9CCB : pal::Line);
    return b;
}

TBitmap32 CaptureButton(TState s) {
    TBitmap32 b = PrimaryButton(200, 42, s);
    TPainter p(b);
    MarkGlyph(p, 12, 12, 18, pal::InkHot, pal::InkHot); // clear of a caption shifted right
    return b;
}

TBitmap32 MoreButton(TState s) {
    TBitmap32 b = PrimaryButton(246, 54, s);
    TPainter p(b);
    p.Stroke({{204, 27}, {221, 27}}, 2, pal::InkHot);
    p.Stroke({{215, 21}, {221, 27}, {215, 33}}, 2, pal::InkHot);
    return b;
}

} // namespace

void AddControlArt(TCatalog& c) {
    const std::pair<const char*, TGlyph> tabs[] = {
        {"main", SlidersGlyph}, {"hot", KeyboardGlyph}, {"save", FloppyGlyph}};
    for (int s = stNormal; s <= stDown; ++s) {
        const std::string state = StateNames[s];
        for (int on = 0; on < 2; ++on) {
            const std::string kind = on ? ".on." : ".off.";
            c["check" + kind + state] = [=] { return CheckPicture(on != 0, TState(s)); };
            c["radio" + kind + state] = [=] { return RadioPicture(on != 0, TState(s)); };
            c[std::string(on ? "star.filled." : "star.empty.") + state] = [=] {
                return StarPicture(on != 0, TState(s));
            };
        }
        for (const auto& [name, glyph] : tabs) {
            const int h = std::string(name) == "save" ? 108 : 107;
            for (int selected = 0; selected < 2; ++selected)
                c["tab." + std::string(name) + "." + state + (selected ? "2" : "")] =
                    [=, glyph = glyph] { return TabPicture(h, glyph, selected != 0, TState(s)); };
        }
        c["combo.arrow." + state] = [s] { return ComboArrowPicture(TState(s)); };
        c["button.primary.142x38." + state] = [s] { return PrimaryButton(142, 38, TState(s)); };
        c["button.secondary.142x38." + state] = [s] { return SecondaryButton(142, 38, TState(s)); };
        c["button.secondary.89x33." + state] = [s] { return SecondaryButton(89, 33, TState(s)); };
        c["button.capture.200x42." + state] = [s] { return CaptureButton(TState(s)); };
        c["button.more.246x54." + state] = [s] { return MoreButton(TState(s)); };
    }
    c["slider.thumb"] = [] { return ThumbPicture(); };
    c["slider.thin"] = [] { return Dot(6, 7, 2, pal::Ink); };
    c["slider.thick"] = [] { return Dot(10, 11, 4.5f, pal::Ink); };
    c["sep.tools"] = [] { return ToolsSeparator(); };
    c["sep.actions"] = [] { return Rule(22, 2, pal::Rule); };
    c["sep.settings"] = [] { return Rule(460, 2, 0xFF1A355B); };
    c["reset.normal"] = [] { return ResetPicture(false); };
    c["reset.hover"] = [] { return ResetPicture(true); };
}

} // namespace art
