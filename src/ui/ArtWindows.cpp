// Balloon outlines of the font and width panels, window backgrounds, the
// program's logo and the site link.
#include "ui/ArtPaint.h"
#include "ui/Artwork.h"

#include <cmath>

namespace art {

namespace {

constexpr TColor32 BalloonEdge = 0xFF274B7E;

// Pixel-exact, not anti-aliased: the window region takes every pixel that is
// not the key, so a soft edge would only add a ragged border of key-like
// colour. The pointer is a 45-degree triangle whose tip is centred on tipX
// (a pixel edge), above a rounded body.
TBitmap32 BalloonPicture(int w, int h, int tailH, float tipX, int radius) {
    auto inside = [=](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return false;
        if (y < tailH) return std::abs(float(x) + 0.5f - tipX) <= float(y) + 0.5f;
        const float cx = std::clamp(float(x) + 0.5f, float(radius), float(w - radius));
        const float cy = std::clamp(float(y) + 0.5f, float(tailH + radius), float(h - radius));
        return std::hypot(float(x) + 0.5f - cx, float(y) + 0.5f - cy) <= float(radius);
    };
    TBitmap32 b(w, h, ArtBalloonKey);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (inside(x, y)) {
                const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) ||
                                  !inside(x, y + 1);
                b.SetPixel(x, y, edge ? BalloonEdge : pal::Window);
            }
    return b;
}

TColor32 Vertical(float y, float h, TColor32 top, TColor32 bottom) {
    return Mix(top, bottom, std::clamp(y / h, 0.0f, 1.0f));
}

// Dark gradient with two faint rings, shared by the companion windows.
TBitmap32 Backdrop(int w, int h) {
    TBitmap32 b(w, h, pal::WindowAlt);
    TPainter p(b);
    const float fw = float(w), fh = float(h);
    p.Fill(TShape{Box(0, 0, fw, fh)},
           [fh](float, float y) { return Vertical(y, fh, 0xFF12305A, pal::WindowAlt); });
    p.Fill(Ring(fw * 0.92f, fh * 0.05f, fh * 0.55f, fh * 0.1f), Fade(pal::Sky, 0.05f));
    p.Fill(Ring(fw * 0.92f, fh * 0.05f, fh * 0.3f, 2), Fade(pal::Sky, 0.08f));
    p.Fill(Ring(fw * 0.04f, fh * 1.02f, fh * 0.35f, 2), Fade(pal::Sky, 0.07f));
    return b;
}

void Footer(TPainter& p, int w, int h, int height) {
    const float top = float(h - height);
    p.Fill(Box(0, top, float(w), float(h)), pal::Window);
    p.Fill(Box(0, top, float(w), top + 1), 0xFF1A355B);
}

// A screen with a dashed selection and its handles: what the program does.
void CaptureScene(TPainter& p, float l, float t) {
    const float r = l + 220, b = t + 130;
    p.Fill(RoundBox(l, t, r, b, 8), 0xFF17365F);
    p.Fill(Frame(l, t, r, b, 8, 2), 0xFF2C5283);
    p.Fill(Box(l + 2, t + 2, r - 2, t + 18), 0xFF1F4370);
    for (float x : {12.0f, 22.0f, 32.0f})
        p.Fill(Circle(l + x, t + 10, 3), 0xFF3E679C);
    for (int i = 0; i < 5; ++i)
        p.Fill(RoundBox(l + 18, t + 34 + 16 * float(i), l + 18 + (i % 2 ? 120 : 170),
                        t + 40 + 16 * float(i), 3),
               0xFF25497A);
    const float sl = l + 56, st = t + 44, sr = l + 176, sb = t + 108;
    p.Fill(TShape{RoundBox(l + 2, t + 2, r - 2, b - 2, 6), Reversed(Box(sl, st, sr, sb))},
           Fade(0xFF000000, 0.35f));
    TShape dashes;
    for (float x = sl; x < sr; x += 8) {
        dashes.push_back(Box(x, st, std::min(x + 4, sr), st + 1));
        dashes.push_back(Box(x, sb - 1, std::min(x + 4, sr), sb));
    }
    for (float y = st; y < sb; y += 8) {
        dashes.push_back(Box(sl, y, sl + 1, std::min(y + 4, sb)));
        dashes.push_back(Box(sr - 1, y, sr, std::min(y + 4, sb)));
    }
    p.Fill(dashes, pal::InkHot);
    for (float x : {sl, (sl + sr) / 2, sr})
        for (float y : {st, (st + sb) / 2, sb})
            if (x != (sl + sr) / 2 || y != (st + sb) / 2) p.Fill(Circle(x, y, 3.5f), pal::Sky);
    // The tools strip beside the selection.
    p.Fill(RoundBox(sr + 8, st, sr + 30, sb, 4), pal::Window);
    for (int i = 0; i < 4; ++i)
        p.Fill(RoundBox(sr + 13, st + 6 + 15 * float(i), sr + 25, st + 16 + 15 * float(i), 2),
               i == 0 ? pal::Accent : 0xFF3E679C);
}

// A monitor playing a recording, with a record light and a timeline.
void RecordScene(TPainter& p, float l, float t) {
    const float r = l + 270, b = t + 170;
    p.Fill(Box(l + 120, b, l + 150, b + 26), 0xFF1F4370);
    p.Fill(RoundBox(l + 85, b + 24, l + 185, b + 32, 4), 0xFF2C5283);
    p.Fill(RoundBox(l, t, r, b, 10), 0xFF2C5283);
    p.Fill(RoundBox(l + 8, t + 8, r - 8, b - 8, 4), 0xFF10294B);
    p.Fill(Circle(l + 135, t + 85, 30), Fade(pal::InkHot, 0.12f));
    p.Fill(Ring(l + 135, t + 85, 30, 3), pal::InkHot);
    p.Fill(Poly({{l + 126, t + 70}, {l + 126, t + 100}, {l + 151, t + 85}}), pal::InkHot);
    p.Fill(Circle(l + 30, t + 28, 7), pal::Record);
    p.Fill(Ring(l + 30, t + 28, 11, 2), Fade(pal::Record, 0.5f));
    p.Fill(RoundBox(l + 20, b - 30, r - 20, b - 24, 3), 0xFF2C5283);
    p.Fill(RoundBox(l + 20, b - 30, l + 150, b - 24, 3), pal::Record);
    p.Fill(Circle(l + 150, b - 27, 6), pal::InkHot);
}

TBitmap32 WelcomeBackground() {
    TBitmap32 b = Backdrop(576, 371);
    TPainter p(b);
    CaptureScene(p, 163, 36);
    Footer(p, 576, 371, 64);
    return b;
}

TBitmap32 AboutBackground() {
    TBitmap32 b = Backdrop(576, 371);
    TPainter p(b);
    Footer(p, 576, 371, 64);
    return b;
}

TBitmap32 OfferBackground() {
    TBitmap32 b = Backdrop(789, 480);
    TPainter p(b);
    RecordScene(p, 470, 120);
    return b;
}

// The application icon's design: corner brackets and a red dot on a rounded
// dark square.
TBitmap32 LogoPicture(int n) {
    TBitmap32 b(n, n, 0);
    TPainter p(b);
    const float z = float(n), m = std::round(z * 0.03f);
    p.Fill(TShape{RoundBox(m, m, z - m, z - m, z * 0.2f)},
           [z](float, float y) { return Vertical(y, z, 0xFF17406F, pal::WindowAlt); });
    const float x = std::round(z * 0.2f);
    MarkGlyph(p, x, x, z - 2 * x, pal::InkHot, pal::Record);
    return b;
}

TBitmap32 LinkPicture() {
    TBitmap32 b(107, 23, 0);
    TPainter p(b);
    MarkGlyph(p, 4, 4, 15, pal::Ink, pal::Record);
    WordMark(p, 28, 6, pal::Ink);
    return b;
}

} // namespace

void WordMark(TPainter& p, float x, float top, TColor32 ink) {
    const float t = top, b = top + 11;
    TShape s;
    auto add = [&s](TPoints pts) { Append(s, StrokeShape(pts, 2, false)); };
    // K
    s.push_back(Box(x, t, x + 2, b));
    add({{x + 2, t + 6.6f}, {x + 9, t - 1}});
    add({{x + 4.2f, t + 4.6f}, {x + 10, b + 1.5f}});
    x += 12;
    // A
    add({{x - 0.5f, b + 1}, {x + 5, t - 1}, {x + 10.5f, b + 1}});
    s.push_back(Box(x + 2.5f, t + 7, x + 7.5f, t + 9));
    x += 13;
    // D
    s.push_back(Box(x, t, x + 2, b));
    TPoints d{{x + 1, t + 1}};
    Append(d, Arc(x + 4, t + 5.5f, 4.5f, -90, 90));
    d.push_back({x + 1, t + 10});
    add(d);
    x += 12.5f;
    // R
    s.push_back(Box(x, t, x + 2, b));
    TPoints r{{x + 1, t + 1}};
    Append(r, Arc(x + 5, t + 3.75f, 2.75f, -90, 90));
    r.push_back({x + 1, t + 6.5f});
    add(r);
    add({{x + 4.5f, t + 6.5f}, {x + 9.5f, b + 1.5f}});
    x += 12;
    // I
    s.push_back(Box(x, t, x + 2, b));
    x += 5;
    // X
    add({{x - 0.5f, t - 1}, {x + 10.5f, b + 1}});
    add({{x + 10.5f, t - 1}, {x - 0.5f, b + 1}});
    x += 10;
    // Slanted stroke ends are cut flat at the cap height and the baseline.
    TBitmap32 layer(p.Target().Width(), p.Target().Height(), 0);
    TPainter lp(layer);
    lp.Fill(s, ink);
    lp.Erase(TShape{Box(0, 0, x + 4, t), Box(0, b, x + 4, b + 4)});
    p.Draw(layer, 0, 0);
}

void AddWindowArt(TCatalog& c) {
    // Tips over the centres of the text and width buttons of the tools panel.
    c["balloon.font"] = [] { return BalloonPicture(190, 95, 5, 81, 8); };
    c["balloon.width"] = [] { return BalloonPicture(125, 38, 4, 62, 6); };
    c["bg.welcome"] = WelcomeBackground;
    c["bg.about"] = AboutBackground;
    c["bg.offer"] = OfferBackground;
    for (int n : {16, 32, 48, 64, 74})
        c["logo." + std::to_string(n)] = [n] { return LogoPicture(n); };
    c["link.site"] = LinkPicture;
}

} // namespace art
