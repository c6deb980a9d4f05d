#include "capture/SetRegionForm.h"

#include "annotate/StampNumber.h"
#include "capture/HotKeys.h"
#include "settings/SettingsUnit.h"
#include "support/DebugTrace.h"

#include <cmath>
#include <cstdlib>

TSetRegionForm::TSetRegionForm(TSetRegionHost& host, TTextRasterizer& text) : FHost(host) {
    try {
        LayerDrawTool = imgView1.AddLayer<TBitmapLayer>();
        LayerDrawTool->SetLayerOptions(LOB_VISIBLE);
        LayerDrawTool->SetDrawMode(dmBlend);
        LayerRect =
            imgView1.AddLayer<TRubberbandLayerNew>(text, [this] { return FHost.CursorPos(); });
        LayerRect->OnResizing = [this](const TFloatRect& oldLoc, TFloatRect& newLoc, TDragState,
                                       TShiftState) { LayerRectResizing(oldLoc, newLoc); };
        LayerRect->OnCursor = [this](TCursorKind c) { FHost.SetAppCursor(c); };
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
    StampNumber = 1;
    if (FHost.OverlayShowing() || LayerRect->VisibleRect()) return;
    DebugTrace(L"StartSelectRegion - 1");

    const TPoint primary = FHost.PrimaryScreenSize();
    const std::vector<TRect> monitors = FHost.MonitorBounds();
    RectWork = WorkAreaUnion(primary.X, primary.Y, monitors);
    LayerRect->SetRectWork(RectWork);
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

    // Reuse last capture's draw image when the screen kept its size.
    if (LayerDrawTool->Bitmap().Width() == RectWork.Width() &&
        LayerDrawTool->Bitmap().Height() == RectWork.Height())
        LayerDrawTool->Bitmap().Clear(0x00FFFFFF);
    else
        LayerDrawTool->SetBitmap(TBitmap32(RectWork.Width(), RectWork.Height(), 0x00FFFFFF));
    LayerDrawTool->SetLocation({0, 0, RectWork.Width(), RectWork.Height()});
    FHost.ShowOverlay(RectWork);
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
        FHost.FocusOverlay();
    } else if (Settings.Server) {
        FPanels->PerformUpload();
    } else {
        FPanels->PerformCopy();
    }
}

void TSetRegionForm::TestClose() {
    Close();
}

void TSetRegionForm::Close() {
    FPanels->CloseEditorPanels();
    imgView1.ReleaseMouseCapture();
    StoreListBitmap32.Clear(false);
    LayerRect->SetVisibleRect(false);
    imgView1.SetCursor(crCross);
    FHost.SetAppCursor(crDefault);
    LayerRect->SelectState = ssNoVis;
    FHost.HideOverlay();
}

void TSetRegionForm::HidePanels() {
    FPanels->HideEditorPanels();
    FPanels->UpdatePositionPanels(RectWork, LayerRect->Location());
}

void TSetRegionForm::ShowPanels() {
    FPanels->ShowEditorPanels();
    FPanels->UpdatePositionPanels(RectWork, LayerRect->Location());
    FHost.FocusOverlay();
}

void TSetRegionForm::Undo() {
    if (const TBitmap32* image = StoreListBitmap32.UndoGet()) imgView1.SetBitmap(*image);
}

void TSetRegionForm::Redo() {
    if (const TBitmap32* image = StoreListBitmap32.RedoGet()) imgView1.SetBitmap(*image);
}

TBitmap32 TSetRegionForm::GetBitmap() const {
    const TFloatRect& sel = LayerRect->Location();
    const TRect s = RoundRect(sel);
    const int w = static_cast<int>(std::lround(sel.Right - sel.Left));
    const int h = static_cast<int>(std::lround(sel.Bottom - sel.Top));
    TBitmap32 b;
    try {
        b = TBitmap32(std::max(w, 0), std::max(h, 0));
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

void TSetRegionForm::imgView1MouseDown(const TViewMouse& m, TCustomLayer*) {
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
    if (layer != LayerRect && LayerRect->HitTest(m.X, m.Y)) LayerRect->MouseMove(m);
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
}
