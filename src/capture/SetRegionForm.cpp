#include "capture/SetRegionForm.h"

#include "annotate/Base2PToolLayer.h"
#include "annotate/BasePLToolLayer.h"
#include "annotate/StampNumber.h"
#include "annotate/StampToolLayer.h"
#include "annotate/TextEditToolLayer.h"
#include "capture/HotKeys.h"
#include "capture/RubberBandLayerEx.h"
#include "gfx/RowExtents.h"
#include "settings/SettingsUnit.h"
#include "support/DebugTrace.h"

#include <cmath>
#include <cstdlib>

TSetRegionForm::TSetRegionForm(TSetRegionHost& host, TTextRasterizer& text)
    : FHost(host), FText(text) {
    try {
        LayerDrawTool = imgView1.AddLayer<TDrawImageLayer>();
        LayerRect =
            imgView1.AddLayer<TRubberbandLayerNew>(text, [this] { return FHost.CursorPos(); });
        LayerRect->OnResizing = [this](const TFloatRect& oldLoc, TFloatRect& newLoc, TDragState,
                                       TShiftState) { LayerRectResizing(oldLoc, newLoc); };
        LayerRect->OnCursor = [this](TCursorKind c) { FHost.SetAppCursor(c); };
        LayerRect->HasLiveTool = [this] { return FCurTool != nullptr; };
        LayerRect->SetVisibleRect(false);
        imgView1.SetCursor(crCross);
        imgView1.OnMouseDown = [this](const TViewMouse& m, TCustomLayer* l) {
            imgView1MouseDown(m, l);
        };
        imgView1.OnMouseMove = [this](const TViewMouse& m, TCustomLayer* l) {
            imgView1MouseMove(m, l);
        };
        imgView1.OnMouseUp = [this](const TViewMouse& m, TCustomLayer* l) {
            imgView1MouseUp(m, l);
        };
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPTION SetRegionForm.FormCreate:", e);
    }
}

void TSetRegionForm::StartSelectRegion(int TypeSelect) {
    DebugTrace(L"StartSelectRegion - start");
    if (FHost.HotKeyEditorFocused()) return;
    // A request during an open capture leaves the numbering alone: a reset
    // there would repeat "1" and let undo drive the counter below it.
    if (FHost.OverlayShowing() || LayerRect->VisibleRect()) return;
    StampNumber = 1;
    DebugTrace(L"StartSelectRegion - 1");

    const TPoint primary = FHost.PrimaryScreenSize();
    const std::vector<TRect> monitors = FHost.MonitorBounds();
    RectWork = WorkAreaUnion(primary.X, primary.Y, monitors);
    LayerRect->SetRectWork(RectWork);
    // The hint starts where the pointer is now, not where it was last seen.
    LayerRect->PointerMoved();
    DebugTrace(L"StartSelectRegion - 2");

    // The grab happens before the overlay is shown, so it is never in the picture.
    TBitmap32 grabbed;
    try {
        grabbed = FHost.GrabScreen(RectWork, Settings.showcursor);
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPT StartSelectRegion - 3.x ", e);
        grabbed = TBitmap32(RectWork.Width(), RectWork.Height(), 0xFF000000);
    }
    DebugTrace(L"StartSelectRegion - 12");
    imgView1.SetBitmap(std::move(grabbed));

    std::optional<TRect> preset;
    if (TypeSelect == tsWindow) {
        const auto window = FHost.ForegroundWindowRect();
        if (!window) return;
        preset = WindowPreset(*window, RectWork);
        if (!preset) return;
    } else if (TypeSelect == tsAllScreens) {
        preset = AllScreensPreset(RectWork);
        if (!preset) return;
    }

    // The draw image gets its pixels with the first tool: the first frame
    // has nothing to blend, and a capture without one never needs them.
    LayerDrawTool->Reset(0, 0);
    FHost.ShowOverlay(RectWork);
    imgView1.MakeOpaque();
    // The first snapshot (the unedited screen) is taken once the overlay is
    // up, so the copy never delays the first paint, and only then: a request
    // that shows nothing must not leave a stale step for the next capture.
    StoreListBitmap32.Clear(true);
    StoreListBitmap32.AddBitmap(imgView1.Bitmap(), false);
    LayerRect->SetLocation({0, 0, 64, 64});
    if (preset) {
        LayerRect->SetLocation(FloatRect(*preset));
        LayerRect->SetVisibleRect(true);
        LayerRect->SelectState = ssEnd;
        ShowSelectRegion(false, false);
    }
    DebugTrace(L"StartSelectRegion - End");
}

void TSetRegionForm::ShowSelectRegion(bool ForceShowRedact, bool /*ShowGIF*/) {
    if (Settings.ShowRedact || ForceShowRedact) {
        FPanels->UpdatePositionPanels(RectWork, LayerRect->Location());
        FPanels->StartEditor();
        // The arrow is the default tool of every capture.
        AddTool(ctArrow);
        FHost.FocusOverlay();
    } else if (Settings.Server) {
        FPanels->PerformUpload();
    } else {
        FPanels->PerformCopy();
    }
}

void TSetRegionForm::CopyToClipboard() {
    if (FHost.OverlayShowing() && LayerRect->VisibleRect()) FPanels->PerformCopy();
}

void TSetRegionForm::TestClose() {
    if (CommitEditedText()) return;
    Close();
}

void TSetRegionForm::Close() {
    FPanels->CloseEditorPanels();
    AddTool(ctNone);
    imgView1.ReleaseMouseCapture();
    StoreListBitmap32.Clear(false);
    LayerRect->SetVisibleRect(false);
    imgView1.SetCursor(crCross);
    FHost.SetAppCursor(crDefault);
    LayerRect->SelectState = ssNoVis;
    FHost.HideOverlay();
    // The image lets go of its pixels (the host may keep their memory for
    // the next grab); the draw image is freed.
    imgView1.SetBitmap(TBitmap32());
    LayerDrawTool->Reset(0, 0);
}

void TSetRegionForm::HidePanels() {
    FPanels->HideEditorPanels();
    FPanels->UpdatePositionPanels(RectWork, LayerRect->Location());
}

void TSetRegionForm::ShowPanels() {
    FPanels->ShowEditorPanels();
    FPanels->UpdatePositionPanels(RectWork, LayerRect->Location());
    if (FCurTypeTool == ctTextExit) FPanels->ShowFontPanel();
    FHost.FocusOverlay();
}

TTextEditToolLayer* TSetRegionForm::TextTool() const {
    return dynamic_cast<TTextEditToolLayer*>(FCurTool);
}

void TSetRegionForm::KeyPress(wchar_t key) {
    if (TTextEditToolLayer* text = TextTool()) text->KeyPress(key);
}

bool TSetRegionForm::KeyDown(int key) {
    TTextEditToolLayer* text = TextTool();
    return text && text->KeyDown(key);
}

bool TSetRegionForm::AppKeyDown(int key) {
    switch (key) {
    case tkEnd:
    case tkHome:
    case tkLeft:
    case tkUp:
    case tkRight:
    case tkDown:
    case tkPrintScreen:
    case tkDelete:
        KeyDown(key);
        return true;
    }
    return false;
}

bool TSetRegionForm::OverlayKeyDown(int key, bool ctrl) {
    constexpr int Escape = 27;
    if (key == Escape) {
        TestClose();
        return true;
    }
    if (!ctrl) return false;
    switch (key) {
    case 'Z':
        Undo();
        return true;
    case 'Y':
        Redo();
        return true;
    case 'C':
        CopyToClipboard();
        return true;
    }
    return false;
}

void TSetRegionForm::TimerTick() {
    if (TTextEditToolLayer* text = TextTool()) text->TimerTick();
}

void TSetRegionForm::Undo() {
    CommitEditedText();
    if (const TBitmap32* image = StoreListBitmap32.UndoGet()) imgView1.SetBitmap(*image);
}

void TSetRegionForm::Redo() {
    CommitEditedText();
    if (const TBitmap32* image = StoreListBitmap32.RedoGet()) imgView1.SetBitmap(*image);
}

bool TSetRegionForm::CommitEditedText() {
    if (!FCurTool || !FCurTool->IsStateRedact()) return false;
    ApplyTool(FCurTool);
    return true;
}

void TSetRegionForm::AddTool(TCurTool ACurTool) {
    if (FCurTool) {
        if (FCurTool->IsStateRedact()) {
            // The commit ends by creating the layer of the new kind.
            FCurTypeTool = ACurTool;
            ApplyTool(FCurTool);
            return;
        }
        imgView1.DeleteLayer(FCurTool);
        FCurTool = nullptr;
    }
    FCurTypeTool = ACurTool;
    const TRect d = LayerDrawTool->Bitmap().BoundsRect();
    if (ACurTool != ctNone && (d.Width() != RectWork.Width() || d.Height() != RectWork.Height()))
        LayerDrawTool->Reset(RectWork.Width(), RectWork.Height());
    FCurTool = CreateToolLayer(ACurTool, PaintedSelection(LayerRect->Location()));
    if (FCurTool) FCurTool->OnEnd = [this](TBaseToolLayer* layer) { ApplyTool(layer); };
}

TBaseToolLayer* TSetRegionForm::CreateToolLayer(TCurTool kind, const TRect& L) {
    TDrawImageLayer& draw = *LayerDrawTool;
    const TTickCount tick = [this] { return FHost.TickCount(); };
    switch (kind) {
    case ctLine:
        return imgView1.AddLayer<TLineToolLayer>(draw, L);
    case ctArrow:
        return imgView1.AddLayer<TLineArrowToolLayer>(draw, L);
    case ctRect:
        return imgView1.AddLayer<TRectToolLayer>(draw, L);
    case ctFillRect:
        return imgView1.AddLayer<TFillToolLayer>(draw, L);
    case ctRectGaus:
        return imgView1.AddLayer<TRectGaussToolLayer>(draw, L);
    case ctPen:
        return imgView1.AddLayer<TBasePLToolLayer>(draw, L, tick);
    case ctTrRect:
        return imgView1.AddLayer<TLightToolLayer>(draw, L);
    case ctTrPen:
        return imgView1.AddLayer<TTrPLToolLayer>(draw, L, tick);
    case ctStamp:
        return imgView1.AddLayer<TStampToolLayer>(draw, L, FText);
    case ctTextExit:
        return imgView1.AddLayer<TTextEditToolLayer>(draw, L, FText, tick,
                                                     [this] { return FHost.ClipboardText(); });
    case ctNone:
        break;
    }
    return nullptr;
}

void TSetRegionForm::ApplyTool(TBaseToolLayer* layer) {
    if (!layer) return;
    if (auto* text = dynamic_cast<TTextEditToolLayer*>(layer)) {
        ApplyText(text);
        return;
    }
    const bool stamp = dynamic_cast<const TStampToolLayer*>(layer) != nullptr;
    // Only the drawn rows differ from the working image, and each pixel is
    // flattened once (twice would darken a translucent stroke); the
    // selection frame is left out. The screen already shows the result.
    std::vector<TRect> drawn = LayerDrawTool->DrawnRects();
    drawn.push_back(layer->Bounds());
    const std::vector<TRect> areas = RowExtents(drawn);
    for (const TRect& area : areas)
        imgView1.Flatten(area, {LayerDrawTool, layer});
    LayerDrawTool->Merged();
    imgView1.DeleteLayer(layer);
    if (layer == FCurTool) FCurTool = nullptr;
    StoreListBitmap32.AddBitmap(imgView1.Bitmap(), stamp, areas);
    AddTool(FCurTypeTool);
}

void TSetRegionForm::ApplyText(TTextEditToolLayer* text) {
    const bool blank = text->TextIsBlank();
    text->StopDrawing();
    text->RemoveFrame();
    // Only the box differs from the working image; a blank box changes
    // nothing and records no step.
    const TRect box = text->Bounds();
    if (!blank) imgView1.Flatten(box, {text});
    imgView1.DeleteLayer(text);
    if (text == FCurTool) FCurTool = nullptr;
    if (!blank) StoreListBitmap32.AddBitmap(imgView1.Bitmap(), false, std::vector<TRect>{box});
    AddTool(FCurTypeTool);
}

void TSetRegionForm::SetPropertyTool(TColor cl, int penwidth) {
    if (penwidth > 0) Settings.penwidth = penwidth;
    Settings.wincolor = cl;
    Settings.pencolor = Color32FromColor(cl < 0 ? FHost.SysColorToRGB(cl) : cl);
}

TBitmap32 TSetRegionForm::GetBitmap() const {
    const TFloatRect& sel = LayerRect->Location();
    // Size from the rounded corners: rounding the origin and the size apart
    // can add a column past the source.
    const TRect s = RoundRect(sel);
    TBitmap32 b;
    try {
        b = TBitmap32(std::max(s.Width(), 0), std::max(s.Height(), 0));
        b.Draw(0, 0, imgView1.Bitmap(), s);
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPTION GetBitmap 1:", e);
    }
    if (Settings.playsound && FPlayer) {
        try {
            FPlayer->PlayFile(FSoundFile);
        } catch (const std::exception& e) {
            DebugTraceException(L"EXCEPTION GetBitmap 2:", e);
        }
    }
    return b;
}

void TSetRegionForm::imgView1MouseDown(const TViewMouse& m, TCustomLayer* layer) {
    // A press anywhere but on the text box or its frame ends the text.
    if (TTextEditToolLayer* text = TextTool();
        text && text->IsStateRedact() && layer != text && layer != text->Frame())
        ApplyTool(text);
    if (m.Button != mbLeft) return;
    HidePanels();
    if (!LayerRect->VisibleRect()) {
        LayerRect->SetLocation(FInitialDrag.Start(m.X, m.Y));
        LayerRect->SelectState = ssMove;
        LayerRect->SetVisibleRect(true);
    }
}

void TSetRegionForm::imgView1MouseMove(const TViewMouse& m, TCustomLayer* layer) {
    if (LayerRect->SelectState == ssMove) {
        if (LayerRect->VisibleRect())
            LayerRect->SetLocation(FInitialDrag.Step(LayerRect->Location(), m.X, m.Y));
        else
            LayerRect->PointerMoved();
        return;
    }
    LayerRect->PointerMoved();
    if (layer == LayerRect) return;
    // Where the frame claims the point (its handles) it gets the mouse, not
    // the tool above it.
    const bool frame = LayerRect->HitTest(m.X, m.Y);
    if (FCurTool) FCurTool->SetLayerOptions(frame ? LOB_VISIBLE : LOB_VISIBLE | LOB_MOUSE_EVENTS);
    if (frame)
        LayerRect->MouseMove(m);
    else
        FHost.SetAppCursor(crDefault); // the frame's resize cursor ends with its band
}

void TSetRegionForm::imgView1MouseUp(const TViewMouse& m, TCustomLayer*) {
    if (LayerRect->SelectState == ssMove) {
        if (!LayerRect->VisibleRect()) return;
        const auto final = FinishInitialDrag(LayerRect->Location());
        if (!final) {
            LayerRect->SetVisibleRect(false);
            return;
        }
        LayerRect->SelectState = ssEnd;
        LayerRect->SetLocation(*final);
        ShowSelectRegion(m.Shift.Contains(ssCtrl), m.Shift.Contains(ssAlt));
        return;
    }
    if (m.Button == mbLeft) ShowPanels();
}

void TSetRegionForm::LayerRectResizing(const TFloatRect&, TFloatRect& newLocation) {
    FPanels->UpdatePositionPanels(RectWork, LayerRect->Location());
    ClampSelection(newLocation, RectWork.Width(), RectWork.Height());
    // A placed text box keeps its place; every other tool, a text tool still
    // waiting for its click included, follows the selection.
    if (FCurTool && !FCurTool->IsStateRedact())
        FCurTool->SetLocation(PaintedSelection(newLocation));
}
