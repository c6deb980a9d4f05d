#pragma once
// The text tool: a press inside the selection places a box with a blinking
// caret; typed characters and the caret keys edit its lines; the box grows
// and shrinks from its top-left corner with the text, and its frame drags it
// by the border band. The text is drawn into the layer's own image, which the
// overlay flattens into the working image on commit.
#include "annotate/BasePLToolLayer.h"
#include "annotate/BaseToolLayer.h"
#include "gfx/FontDesc.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TRubberBandLayerEx;
class TTextRasterizer;

// Key codes the box reacts to (the system's virtual keys).
enum TTextKey : int {
    tkEnd = 35,
    tkHome = 36,
    tkLeft = 37,
    tkUp = 38,
    tkRight = 39,
    tkDown = 40,
    tkPrintScreen = 44,
    tkDelete = 46
};

class TTextEditToolLayer : public TBaseToolLayer {
public:
    using TClipboardText = std::function<std::wstring()>;

    static constexpr std::uint32_t CaretInterval = 700; // ms per caret toggle
    static constexpr int Margin = 10;

    TTextEditToolLayer(TImageView& imgv, TDrawImageLayer& DrawBitmap, const TRect& L,
                       const TTextRasterizer& text, TTickCount tickCount,
                       TClipboardText clipboardText);

    void MouseDown(const TViewMouse& m) override;
    void MouseMove(const TViewMouse& m) override;

    bool IsStateRedact() const override { return !FDrawingLine; }

    // A typed character: 8 Backspace (127 too), 13 Enter, 22 paste, 30 and
    // above inserted; other control codes are ignored.
    void KeyPress(wchar_t Key);
    // Caret keys and Delete; true when the key was one of them.
    bool KeyDown(int Key);
    // The caret clock: toggles the caret once CaretInterval has passed since
    // the last toggle or key. The host calls it from a timer.
    void TimerTick();
    // Caret off for good and a last redraw: the commit flattens what shows.
    void StopDrawing();
    // Removes the frame from the view; the commit calls it first.
    void RemoveFrame();

    // Every line followed by CR LF.
    std::wstring Text() const;
    // Nothing but white space and control characters: commits no undo step.
    bool TextIsBlank() const;

    const std::vector<std::wstring>& Lines() const { return FLines; }
    int CaretX() const { return FCaretPos_LX; }
    int CaretY() const { return FCaretPos_LY; }
    bool CaretVisible() const { return FCaretVis; }
    TRubberBandLayerEx* Frame() const { return RBLayer; }

    // Sizes the box to the text (keeping its top-left corner) and draws the
    // text and the caret into the layer's image. Nothing before placement.
    void RedrawText();

private:
    TFontDesc TextFont() const;
    void Place(int x, int y);
    void Handled();
    void Insert(const std::wstring& s);

    const TTextRasterizer& FText;
    TTickCount FTickCount;
    TClipboardText FClipboardText;
    bool FTimerOn = true;
    std::uint32_t FTimerStart = 0;
    int FCaretPos_LX = 0;
    int FCaretPos_LY = 0;
    bool FCaretVis = false;
    // Never empty: no text is one empty line.
    std::vector<std::wstring> FLines{std::wstring()};
    bool FDrawingLine = true;
    TRubberBandLayerEx* RBLayer = nullptr;
    TBitmap32 FSpare; // the next redraw's image
};
