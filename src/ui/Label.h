#pragma once
// A text label. Transparent by default (the form's background shows
// through, as a label in the parent's colour would look); auto-sized to its
// text unless AutoSize is off (a word-wrapped auto-sized label keeps its
// width and takes the height it needs). Text beyond a fixed size is cut off.
#include "ui/GraphicControl.h"

enum TTextLayoutKind { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TForm& owner);

    const std::wstring& Caption() const { return FCaption; }
    void SetCaption(std::wstring caption);
    void SetFont(const TFont& font);
    void SetAutoSize(bool value);
    bool AutoSize() const { return FAutoSize; }

    TAlignment Alignment = taLeftJustify;
    TTextLayoutKind Layout = tlTop;
    bool WordWrap = false;
    bool Transparent = true;

    void Paint(TCanvas& canvas) override;
    // The size the text needs (the current width when word-wrapped).
    TTextLayout TextLayoutNow() const;

private:
    void AdjustSize();

    std::wstring FCaption;
    bool FAutoSize = true;
};
