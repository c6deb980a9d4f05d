#include "Sheet.h"

#include <algorithm>

namespace {
constexpr int Margin = 12, GroupGap = 24, RowGap = 18, ItemGap = 10, TitleGap = 5, LabelGap = 3;
constexpr TColor32 SheetColour = 0xFF1E1E1E, TitleColour = 0xFFFFC864, LabelColour = 0xFFFFFFFF;

TFontDesc TitleFont() {
    return {L"Noto Sans", 0, fsBold, 14};
}

TFontDesc LabelFont() {
    return {L"Noto Sans", 0, 0, 12};
}

struct TPos {
    int X = 0, Y = 0;
};
} // namespace

TSheet::TSheet(const TTextRasterizer& text, int width) : FText(text), FWidth(width) {}

void TSheet::Group(std::wstring title) {
    FGroups.push_back({std::move(title), FBreak, {}});
    FBreak = false;
}

void TSheet::Break() {
    FBreak = true;
}

void TSheet::Add(std::wstring label, TBitmap32 picture) {
    if (FGroups.empty()) Group(L"");
    FGroups.back().Items.push_back({std::move(label), std::move(picture)});
}

TBitmap32 TSheet::Render() const {
    const TFontDesc titleFont = TitleFont(), labelFont = LabelFont();
    const int labelHeight = FText.TextExtent(labelFont, L"Ag").Height;
    const int titleHeight = FText.TextExtent(titleFont, L"Ag").Height;
    const int inner = FWidth - 2 * Margin;

    // Items first, relative to their group; then groups on the sheet.
    std::vector<std::vector<TPos>> itemPos(FGroups.size());
    std::vector<std::vector<int>> cellWidth(FGroups.size());
    std::vector<TPos> groupSize(FGroups.size()), groupPos(FGroups.size());
    for (std::size_t g = 0; g < FGroups.size(); ++g) {
        const TGroup& group = FGroups[g];
        int x = 0, y = group.Title.empty() ? 0 : titleHeight + TitleGap, lineHeight = 0;
        int w = group.Title.empty() ? 0 : FText.TextExtent(titleFont, group.Title).Width;
        for (const TItem& item : group.Items) {
            const int cw =
                std::max(item.Picture.Width(),
                         item.Label.empty() ? 0 : FText.TextExtent(labelFont, item.Label).Width);
            const int ch =
                item.Picture.Height() + (item.Label.empty() ? 0 : LabelGap + labelHeight);
            if (x > 0 && x + cw > inner) {
                x = 0;
                y += lineHeight + ItemGap;
                lineHeight = 0;
            }
            itemPos[g].push_back({x, y});
            cellWidth[g].push_back(cw);
            x += cw + ItemGap;
            w = std::max(w, x - ItemGap);
            lineHeight = std::max(lineHeight, ch);
        }
        groupSize[g] = {w, y + lineHeight};
    }
    int x = Margin, y = Margin, rowHeight = 0, width = FWidth;
    for (std::size_t g = 0; g < FGroups.size(); ++g) {
        if (x > Margin && (FGroups[g].NewRow || x + groupSize[g].X > FWidth - Margin)) {
            x = Margin;
            y += rowHeight + RowGap;
            rowHeight = 0;
        }
        groupPos[g] = {x, y};
        x += groupSize[g].X + GroupGap;
        width = std::max(width, x - GroupGap + Margin);
        rowHeight = std::max(rowHeight, groupSize[g].Y);
    }

    TBitmap32 sheet(width, y + rowHeight + Margin, SheetColour);
    for (std::size_t g = 0; g < FGroups.size(); ++g) {
        const TGroup& group = FGroups[g];
        const TPos at = groupPos[g];
        if (!group.Title.empty())
            DrawTextAt(sheet, at.X, at.Y, group.Title, titleFont, TitleColour, FText);
        for (std::size_t i = 0; i < group.Items.size(); ++i) {
            const TItem& item = group.Items[i];
            const int cx = at.X + itemPos[g][i].X, cy = at.Y + itemPos[g][i].Y;
            const int cw = cellWidth[g][i];
            sheet.DrawBlend(cx + (cw - item.Picture.Width()) / 2, cy, item.Picture);
            if (item.Label.empty()) continue;
            const int lw = FText.TextExtent(labelFont, item.Label).Width;
            DrawTextAt(sheet, cx + (cw - lw) / 2, cy + item.Picture.Height() + LabelGap, item.Label,
                       labelFont, LabelColour, FText);
        }
    }
    return sheet;
}

TBitmap32 Enlarge(const TBitmap32& src, int factor) {
    TBitmap32 out(src.Width() * factor, src.Height() * factor);
    for (int y = 0; y < out.Height(); ++y) {
        const TColor32* from = src.Row(y / factor);
        TColor32* to = out.Row(y);
        for (int x = 0; x < out.Width(); ++x)
            to[x] = from[x / factor];
    }
    return out;
}

TBitmap32 OnBackground(const TBitmap32& picture, TColor32 background, int margin) {
    TBitmap32 out(picture.Width() + 2 * margin, picture.Height() + 2 * margin, background);
    out.DrawBlend(margin, margin, picture);
    return out;
}

TBitmap32 Beside(const TBitmap32& a, const TBitmap32& b, int gap, TColor32 gapColour) {
    TBitmap32 out(a.Width() + gap + b.Width(), std::max(a.Height(), b.Height()), gapColour);
    out.Draw(0, 0, a);
    out.Draw(a.Width() + gap, 0, b);
    return out;
}

TBitmap32 Below(const TBitmap32& a, const TBitmap32& b, int gap, TColor32 gapColour) {
    TBitmap32 out(std::max(a.Width(), b.Width()), a.Height() + gap + b.Height(), gapColour);
    out.Draw(0, 0, a);
    out.Draw(0, a.Height() + gap, b);
    return out;
}
