#pragma once
// The pictures of the developer view, drawn without any window: artwork
// sheets, every control in its states, and each window at 1:1.
#include "gfx/Bitmap32.h"
#include "gfx/TextRasterizer.h"

#include <functional>
#include <string>
#include <vector>

class TForm;

struct TView {
    std::string File; // PNG name in the output folder
    std::wstring Title;
    TBitmap32 Picture;
    bool Embed = true; // false: only linked from the index (its parts follow)
};

// art.png, every artwork picture, then one sheet per name prefix.
std::vector<TView> ArtViews(const TTextRasterizer& text);
std::vector<TView> ControlViews(const TTextRasterizer& text);

// The form's client area painted 1:1, as its window would show it.
TBitmap32 Snapshot(const TForm& form);

// A window to show: its form set up as a person would see it, painted 1:1.
struct TWindowEntry {
    std::string File;
    std::wstring Title;
    std::function<TBitmap32(const TTextRasterizer&)> Paint;
};
// Every window built so far (Windows.cpp: one entry per window and state).
const std::vector<TWindowEntry>& WindowEntries();

// Writes index.html beside the views, listing them in order.
void WriteIndex(const std::string& folder, const std::vector<TView>& views);
