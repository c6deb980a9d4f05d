#include "Views.h"

#include "Sheet.h"
#include "support/Utilities.h"
#include "ui/Artwork.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "widgets/ImageButton2.h"
#include "widgets/OrvikComboBox.h"
#include "widgets/PosBar.h"

#include <algorithm>
#include <fstream>
#include <map>

namespace {
constexpr TColor WindowColour = 0x321A09, PanelColour = 0x42220C, PageColour = 0x42230C;
constexpr int Pad = 4; // form background around each control

bool HasArt(const std::string& name) {
    static const std::vector<std::string> names = ArtNames();
    return std::binary_search(names.begin(), names.end(), name);
}

TPicture Art(const std::string& name) {
    return TPicture(ArtPicture(name));
}

// --- artwork

TBitmap32 ArtTile(const TBitmap32& picture) {
    const TBitmap32 big = Enlarge(picture, 2);
    const TBitmap32 a = OnBackground(big, Color32FromColor(WindowColour), 4);
    const auto& px = picture.Pixels();
    if (std::all_of(px.begin(), px.end(), [](TColor32 c) { return AlphaOf(c) == 255; }))
        return a; // the background cannot show through
    const TBitmap32 b = OnBackground(big, Color32FromColor(PanelColour), 4);
    // Wide backgrounds go one above the other to keep the sheet narrow.
    return picture.Width() > 300 ? Below(a, b, 2, 0) : Beside(a, b, 2, 0);
}

std::string GroupOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// Names by group, states in the order the buttons use them.
std::vector<std::string> ArtOrder() {
    static const std::vector<std::string> states = {"normal",  "hover",  "down",  "disabled",
                                                    "normal2", "hover2", "down2", "disabled2"};
    const auto rank = [](const std::string& name) {
        const auto it = std::find(states.begin(), states.end(), name.substr(name.rfind('.') + 1));
        return it - states.begin();
    };
    std::vector<std::string> names = ArtNames();
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        const std::string ga = GroupOf(a), gb = GroupOf(b);
        return ga != gb ? ga < gb : rank(a) < rank(b);
    });
    return names;
}

std::wstring Wide(const std::string& s) {
    return {s.begin(), s.end()};
}

// --- controls

enum TState { stNormal, stHover, stPressed, stDisabled };

const wchar_t* StateName(TState s) {
    switch (s) {
    case stHover:
        return L"hover";
    case stPressed:
        return L"pressed";
    case stDisabled:
        return L"disabled";
    default:
        return L"normal";
    }
}

// Puts the pointer over the control (and presses the left button) the way
// the window would report it.
void Drive(TForm& form, TGraphicControl& c, TState s) {
    const int x = c.Left() + c.Width() / 2, y = c.Top() + c.Height() / 2;
    if (s == stHover || s == stPressed) form.MouseMove({x, y, mbLeft, {}});
    if (s == stPressed) form.MouseDown({x, y, mbLeft, ssLeft});
    if (s == stDisabled) c.SetEnabled(false);
}

// The first set from prefix + state, the second from prefix2 + state + suffix2.
void SetPictures(TImageButton& b, const std::string& prefix, const std::string& prefix2 = {},
                 const std::string& suffix2 = {}) {
    const auto set = [&](const std::string& name, void (TImageButton::*setter)(const TPicture&)) {
        if (HasArt(name)) (b.*setter)(Art(name));
    };
    set(prefix + "normal", &TImageButton::SetNormalImage);
    set(prefix + "hover", &TImageButton::SetMoveImage);
    set(prefix + "down", &TImageButton::SetDownImage);
    set(prefix + "disabled", &TImageButton::SetDisabledImage);
    if (prefix2.empty()) return;
    set(prefix2 + "normal" + suffix2, &TImageButton::SetNormalImage2);
    set(prefix2 + "hover" + suffix2, &TImageButton::SetMoveImage2);
    set(prefix2 + "down" + suffix2, &TImageButton::SetDownImage2);
    set(prefix2 + "disabled" + suffix2, &TImageButton::SetDisabledImage2);
}

// One button of w x h on a form of colour bg, configured by setup, latched
// Down or not, in state s.
template <class TButton = TImageButton, class TSetup>
TBitmap32 ButtonShot(const TTextRasterizer& text, int w, int h, TSetup setup, TState s,
                     bool down = false, TColor bg = WindowColour) {
    TForm form(text, w + 2 * Pad, h + 2 * Pad);
    form.Color = bg;
    TButton b(form);
    b.SetBounds(Pad, Pad, w, h);
    setup(b);
    b.SetDown(down);
    Drive(form, b, s);
    return Snapshot(form);
}

void ImageButtons(TSheet& sheet, const TTextRasterizer& text) {
    const auto tool = [](TImageButton& b) { SetPictures(b, "tool.pen.", "tool.pen.", "2"); };
    sheet.Group(L"TImageButton: latching tool (tool.pen)");
    for (TState s : {stNormal, stHover, stPressed, stDisabled})
        sheet.Add(StateName(s), ButtonShot(text, 38, 38, tool, s));
    for (TState s : {stNormal, stHover, stPressed, stDisabled})
        sheet.Add(std::wstring(L"Down ") + StateName(s), ButtonShot(text, 38, 38, tool, s, true));

    const auto captioned = [](std::string art, std::wstring caption, TFont font, int dx = 0) {
        return [=](TImageButton& b) {
            SetPictures(b, art);
            b.Font = font;
            b.SetText(caption);
            b.SetOffsetTextX(dx);
        };
    };
    const TFont roboto = TFont::Pixels(L"Roboto", 15, fsBold, 0xFFFFFF);
    struct TCaptioned {
        std::wstring Title;
        std::string Art;
        int W, H;
        std::wstring Caption;
        TFont Font;
        int Dx;
    } captions[] = {
        {L"caption, primary 142x38", "button.primary.142x38.", 142, 38, L"СОХРАНИТЬ", roboto, 0},
        {L"caption, secondary 142x38", "button.secondary.142x38.", 142, 38, L"ОТМЕНИТЬ", roboto, 0},
        {L"caption, secondary 89x33", "button.secondary.89x33.", 89, 33, L"Выбрать",
         TFont::Pixels(L"Roboto", 15, 0, 0xFFFFFF), 0},
        {L"caption +10, capture 200x42", "button.capture.200x42.", 200, 42, L"Сделать скриншот",
         TFont::Pixels(L"Noto Sans", 15, fsBold, 0xFFFFFF), 10},
        {L"caption -14, more 246x54", "button.more.246x54.", 246, 54, L"ПОДРОБНЕЕ",
         TFont(L"Open Sans", 12, fsBold, 0xFFFFFF), -14},
    };
    for (const TCaptioned& c : captions) {
        sheet.Group(L"TImageButton: " + c.Title);
        const auto setup = captioned(c.Art, c.Caption, c.Font, c.Dx);
        for (TState s : {stNormal, stHover, stPressed})
            sheet.Add(StateName(s), ButtonShot(text, c.W, c.H, setup, s));
    }

    sheet.Group(L"TImageButton: right icon, text shifts while pressed");
    const auto iconed = [&](TImageButton& b) {
        captioned("button.secondary.142x38.", L"Сбросить", roboto, -10)(b);
        b.SetIconRigth(Art("reset.normal"));
        b.SetOffsetIconRigthX(-12);
        b.SetOffsetTextWithDown(true);
    };
    for (TState s : {stNormal, stHover, stPressed})
        sheet.Add(StateName(s), ButtonShot(text, 142, 38, iconed, s));
    sheet.Add(L"Down (no second set)", ButtonShot(text, 142, 38, iconed, stNormal, true));

    sheet.Group(L"TImageButton: multi-line caption");
    const auto lines = [&](TImageButton& b) {
        captioned("button.primary.142x38.", L"ДВЕ СТРОКИ\r\nТЕКСТА",
                  TFont::Pixels(L"Roboto", 13, fsBold, 0xFFFFFF))(b);
    };
    for (TState s : {stNormal, stPressed})
        sheet.Add(StateName(s), ButtonShot(text, 142, 38, lines, s));
    const auto close = [](TImageButton& b) { SetPictures(b, "close.20."); };
    sheet.Group(L"TImageButton: close 20");
    for (TState s : {stNormal, stHover, stPressed})
        sheet.Add(StateName(s), ButtonShot(text, 20, 20, close, s));
}

void Tabs(TSheet& sheet, const TTextRasterizer& text) {
    struct TTab {
        std::string Art;
        int H;
        std::wstring Line1, Line2;
    } tabs[] = {{"tab.main.", 107, L"ОСНОВНЫЕ", L""},
                {"tab.hot.", 107, L"ГОРЯЧИЕ", L"КЛАВИШИ"},
                {"tab.save.", 108, L"ПАРАМЕТРЫ", L"СОХРАНЕНИЯ"}};
    for (const TTab& t : tabs) {
        sheet.Group(L"TImageButton2 tab: " + Wide(t.Art.substr(0, t.Art.size() - 1)));
        const auto setup = [&](TImageButton2& b) {
            SetPictures(b, t.Art, t.Art, "2");
            b.Font = TFont::Pixels(L"Roboto Bk", 12, 0, 0xFFFFFF);
            b.SetFontText2(b.Font);
            b.SetOffsetTextY(15);
            b.SetOffsetText2Y(30);
            b.SetText(t.Line1);
            b.SetText2(t.Line2);
        };
        for (bool down : {false, true})
            for (TState s : {stNormal, stHover, stPressed})
                sheet.Add(std::wstring(down ? L"Down " : L"") + StateName(s),
                          ButtonShot<TImageButton2>(text, 120, t.H, setup, s, down, PageColour));
    }
}

// A check box or radio button with its label, as the settings pages lay them out.
TBitmap32 BoxShot(const TTextRasterizer& text, const std::string& kind, bool on, TState s) {
    TForm form(text, 300, 21 + 2 * Pad);
    form.Color = PageColour;
    TImageButton box(form);
    box.SetBounds(Pad, Pad, 20, 21);
    SetPictures(box, kind + ".off.", kind + ".on.");
    box.SetDown(on);
    TLabel label(form);
    label.SetFont(TFont::Pixels(L"Roboto", 15, 0, 0xFFFFFF));
    label.SetCaption(kind == "check" ? L"Всегда показывать редактор"
                                     : L"На сервер, копируя ссылку в буфер");
    label.SetLeft(Pad + 33);
    label.SetTop(Pad + 3);
    Drive(form, box, s);
    return Snapshot(form);
}

void Boxes(TSheet& sheet, const TTextRasterizer& text) {
    for (const std::string kind : {"check", "radio"}) {
        sheet.Break();
        for (bool on : {false, true}) {
            sheet.Group(Wide(kind) + (on ? L" box on" : L" box off"));
            for (TState s : {stNormal, stHover, stPressed, stDisabled})
                sheet.Add(StateName(s), BoxShot(text, kind, on, s));
        }
    }
}

void SetArrow(TOrvikComboBox& c) {
    c.SetNormalImage(Art("combo.arrow.normal"));
    c.SetMoveImage(Art("combo.arrow.hover"));
    c.SetDownImage(Art("combo.arrow.down"));
}

// The settings dialog's format list.
void FormatStyle(TOrvikComboBox& c) {
    c.SetBorderColor(0xA16E4A);
    c.SetBorderWidth(1);
    c.SetFillColor(0x321A09);
    TFont font = TFont::Pixels(L"Roboto", 16, 0, 0xB2B1AA);
    c.SetFont(font);
    SetArrow(c);
    c.SetItems({L"PNG", L"JPG"});
    c.SetItemIndex(0);
}

template <class TSetup> TBitmap32 ComboShot(const TTextRasterizer& text, TSetup setup) {
    TForm form(text, 185 + 2 * Pad, 33 + 2 * Pad);
    form.Color = PageColour;
    TOrvikComboBox combo(form);
    combo.SetBounds(Pad, Pad, 185, 33);
    setup(form, combo);
    return Snapshot(form);
}

void Combos(TSheet& sheet, const TTextRasterizer& text) {
    sheet.Break();
    sheet.Group(L"TOrvikComboBox (185x33)");
    sheet.Add(L"default look, no items", ComboShot(text, [](TForm&, TOrvikComboBox& c) {
                  SetArrow(c);
                  c.LoadImg();
              }));
    sheet.Add(L"format list, before LoadImg",
              ComboShot(text, [](TForm&, TOrvikComboBox& c) { FormatStyle(c); }));
    for (TState s : {stNormal, stHover, stPressed, stDisabled})
        sheet.Add(std::wstring(L"after LoadImg, ") + StateName(s),
                  ComboShot(text, [s](TForm& f, TOrvikComboBox& c) {
                      FormatStyle(c);
                      c.LoadImg();
                      Drive(f, s == stDisabled ? static_cast<TGraphicControl&>(c) : c.ArrowButton(),
                            s);
                  }));
    sheet.Add(L"long item", ComboShot(text, [](TForm&, TOrvikComboBox& c) {
                  FormatStyle(c);
                  c.SetItems({L"A very long family name that does not fit"});
                  c.SetItemIndex(0);
                  c.LoadImg();
              }));

    sheet.Group(L"TOrvikComboBox::DrawItem (pop-up rows)");
    TForm form(text, 185, 33);
    TOrvikComboBox combo(form);
    combo.SetBounds(0, 0, 185, 33);
    FormatStyle(combo);
    combo.SetItems({L"PNG", L"JPG", L"A very long family name that does not fit"});
    const int h = combo.ItemHeight();
    TBitmap32 rows(185, 3 * h, 0xFFFFFFFF);
    for (int i = 0; i < 3; ++i)
        combo.DrawItem(rows, {0, i * h, 185, (i + 1) * h}, i, i == 1);
    sheet.Add(L"JPG selected", rows);
    TBitmap32 row(185, h, 0xFFFFFFFF);
    combo.DrawItem(row, row.BoundsRect(), 0, false);
    sheet.Add(L"one row, not selected", row);
    combo.DrawItem(row, row.BoundsRect(), 0, true);
    sheet.Add(L"one row, selected", row);
}

// The width panel's slider: 87 x 16, 1 to 8, thumb picture.
void WidthSlider(TPosbar& p, std::int64_t position) {
    p.SetMin(1);
    p.SetMax(8);
    p.SetPosition(position);
    p.SetStyle(pbsGauge);
    p.SetBackColor(6703929);
    p.SetForeColor(15066597);
    p.SetBorderColor(0xF0F0F0); // the system's button face
    p.SetSize(6);
    p.SetThumbImage(Art("slider.thumb"));
}

void Sliders(TSheet& sheet, const TTextRasterizer& text) {
    sheet.Group(L"TPosbar gauge, 87 wide, 1..8");
    const auto shot = [&](std::int64_t position, bool drag) {
        TForm form(text, 87 + 2 * Pad, 16 + 2 * Pad);
        form.Color = WindowColour;
        TPosbar p(form);
        p.SetBounds(Pad, Pad, 87, 16);
        WidthSlider(p, position);
        if (drag) {
            // Grab the thumb and pull it towards the right end.
            const int y = Pad + p.Height() / 2;
            form.MouseMove({Pad + 45, y, mbLeft, {}});
            form.MouseDown({Pad + 45, y, mbLeft, ssLeft});
            form.MouseMove({Pad + 70, y, mbLeft, ssLeft});
        }
        return Snapshot(form);
    };
    for (int position : {1, 2, 4, 5, 8})
        sheet.Add(L"position " + std::to_wstring(position), shot(position, false));
    sheet.Add(L"dragging", shot(4, true));

    sheet.Group(L"TPosbar on balloon.width (outline picture)");
    for (int position : {1, 5, 8}) {
        const TBitmap32& balloon = ArtPicture("balloon.width");
        TForm form(text, balloon.Width(), balloon.Height());
        TImage outline(form);
        outline.SetBounds(0, 0, balloon.Width(), balloon.Height());
        outline.SetBitmap(balloon);
        TPosbar p(form);
        p.SetBounds(17, 14, 87, 16);
        WidthSlider(p, position);
        sheet.Add(L"position " + std::to_wstring(position), Enlarge(Snapshot(form), 2));
    }
}
} // namespace

std::vector<TView> ArtViews(const TTextRasterizer& text) {
    // Grouped by the name without its last part; one extra sheet per first part.
    std::map<std::string, TSheet> byFirst;
    TSheet all(text, 1800);
    std::string currentGroup;
    for (const std::string& name : ArtOrder()) {
        const std::string group = GroupOf(name);
        const std::string label = group == name ? name : name.substr(group.size() + 1);
        const std::string first = name.substr(0, name.find('.'));
        TSheet& sheet = byFirst.try_emplace(first, text, 1800).first->second;
        const TBitmap32 tile = ArtTile(ArtPicture(name));
        if (group != currentGroup) {
            all.Group(Wide(group));
            sheet.Group(Wide(group));
            currentGroup = group;
        }
        all.Add(Wide(label), tile);
        sheet.Add(Wide(label), tile);
    }
    std::vector<TView> views;
    views.push_back({"art.png", L"All artwork, 2x, on both window colours", all.Render(), false});
    for (const auto& [first, sheet] : byFirst)
        views.push_back({"art-" + first + ".png", L"Artwork: " + Wide(first), sheet.Render()});
    return views;
}

std::vector<TView> ControlViews(const TTextRasterizer& text) {
    std::vector<TView> views;
    TSheet buttons(text, 1400);
    ImageButtons(buttons, text);
    views.push_back({"controls-buttons.png", L"TImageButton states", buttons.Render()});
    TSheet tabs(text, 1400);
    Tabs(tabs, text);
    Boxes(tabs, text);
    views.push_back(
        {"controls-tabs-boxes.png", L"Tabs, check boxes, radio buttons", tabs.Render()});
    TSheet lists(text, 1400);
    Combos(lists, text);
    lists.Break();
    Sliders(lists, text);
    views.push_back({"controls-lists-sliders.png", L"Combo boxes and sliders", lists.Render()});
    return views;
}

TBitmap32 Snapshot(const TForm& form) {
    TBitmap32 b;
    form.PaintTo(b);
    return b;
}

void WriteIndex(const std::string& folder, const std::vector<TView>& views) {
    std::ofstream out(folder + "/index.html", std::ios::binary);
    out << "<!DOCTYPE html>\n<meta charset=\"utf-8\">\n<title>Kadrix developer view</title>\n"
           "<style>body{background:#1e1e1e;color:#eee;font-family:sans-serif}"
           "img{image-rendering:pixelated;display:block;margin:6px 0 24px}</style>\n";
    for (const TView& v : views) {
        out << "<h3>" << WideToUtf8(v.Title) << " &mdash; <a href=\"" << v.File << "\">" << v.File
            << "</a> (" << v.Picture.Width() << "x" << v.Picture.Height() << ")</h3>\n";
        if (v.Embed) out << "<img src=\"" << v.File << "\">\n";
    }
}
