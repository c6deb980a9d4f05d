#pragma once
// The capture overlay without its window: the frozen desktop in a layered
// view, the selection, the start of a capture, closing, and the hand-over to
// the editor panels or the immediate output action. The Win32 window hosts
// one of these and implements TSetRegionHost; tests drive it with simulated
// mouse events and a fake host.
#include "annotate/BaseToolLayer.h"
#include "annotate/DrawImageLayer.h"
#include "annotate/StoreListBitmap32.h"
#include "capture/RubberbandLayerNew.h"
#include "capture/SelectionGeometry.h"
#include "gfx/BitmapLayer.h"
#include "gfx/ImageView.h"
#include "gfx/Point.h"
#include "support/SoundPlayer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TTextRasterizer;
class TTextEditToolLayer;

// What the overlay needs from the platform.
class TSetRegionHost {
public:
    virtual ~TSetRegionHost() = default;
    virtual bool OverlayShowing() const = 0;
    // Places the window over bounds (screen), shows it on top of everything
    // and makes it the foreground window.
    virtual void ShowOverlay(const TRect& bounds) = 0;
    virtual void HideOverlay() = 0;
    virtual void FocusOverlay() = 0;
    virtual TPoint PrimaryScreenSize() const = 0;
    virtual std::vector<TRect> MonitorBounds() const = 0;
    // One copy of area (screen) into a new image; draws the mouse cursor
    // into it when drawCursor is set.
    virtual TBitmap32 GrabScreen(const TRect& area, bool drawCursor) = 0;
    // The foreground window's rectangle (screen), none without one.
    virtual std::optional<TRect> ForegroundWindowRect() const = 0;
    virtual TPoint CursorPos() const = 0;
    // Application-wide cursor; crDefault hands it back to each control.
    virtual void SetAppCursor(TCursorKind cursor) = 0;
    // True while the settings dialog's hotkey editor has the keyboard focus.
    virtual bool HotKeyEditorFocused() const = 0;
    // The system's millisecond tick count (wraps around).
    virtual std::uint32_t TickCount() const = 0;
    // The current RGB value of a system colour (a negative TColor).
    virtual TColor SysColorToRGB(TColor c) const = 0;
    // The clipboard's text for the text tool's paste; empty without any.
    virtual std::wstring ClipboardText() const { return {}; }
};

// The editor panels and output actions the overlay hands over to.
class TOverlayPanels {
public:
    virtual ~TOverlayPanels() = default;
    virtual void HideEditorPanels() {}
    virtual void ShowEditorPanels() {}
    virtual void UpdatePositionPanels(const TRect& /*workArea*/, const TFloatRect& /*sel*/) {}
    virtual void CloseEditorPanels() {}
    // The editor is shown: the panels appear.
    virtual void StartEditor() {}
    virtual void PerformUpload() {}
    virtual void PerformCopy() {}
    // The font panel beside the tools panel, while the text tool is chosen.
    virtual void ShowFontPanel() {}
    // The application became active: the actions panel, if showing, comes
    // to the front.
    virtual void ApplicationActivated() {}
};

class TSetRegionForm {
public:
    TSetRegionForm(TSetRegionHost& host, TTextRasterizer& text);
    TSetRegionForm(const TSetRegionForm&) = delete;
    TSetRegionForm& operator=(const TSetRegionForm&) = delete;

    void SetPanels(TOverlayPanels* panels) { FPanels = panels ? panels : &FNoPanels; }
    // The shutter sound of GetBitmap; none attached means silence.
    void SetSoundPlayer(TSoundPlayer* player, std::wstring soundFile) {
        FPlayer = player;
        FSoundFile = std::move(soundFile);
    }

    // 0 area, 1 foreground window, 2 all screens.
    void StartSelectRegion(int TypeSelect);
    void ShowSelectRegion(bool ForceShowRedact, bool ShowGIF);
    // Esc: a text being edited is committed and the overlay stays open;
    // otherwise the overlay closes.
    void TestClose();
    void Close();
    void HidePanels();
    void ShowPanels();
    void Undo();
    void Redo();
    // Ctrl+C: the actions panel's copy, once there is a selection to copy.
    void CopyToClipboard();

    // Selects a tool kind and puts a fresh layer of it over the selection
    // (none for ctNone). A text being edited is committed first; any other
    // live layer is dropped with its uncommitted drawing.
    void AddTool(TCurTool ACurTool);
    // Commits a finished stroke: flattens the draw image into the working
    // image, records an undo step and starts the next layer of the same kind.
    void ApplyTool(TBaseToolLayer* layer);
    // The colour (and, when penwidth > 0, the width) of the next render.
    void SetPropertyTool(TColor cl, int penwidth);
    TCurTool CurTypeTool() const { return FCurTypeTool; }
    // The live text tool, if the live tool is one.
    TTextEditToolLayer* TextTool() const;
    // A character typed in the overlay's view.
    void KeyPress(wchar_t key);
    // A caret key or Delete from any window of the program; true when a text
    // box took it.
    bool KeyDown(int key);
    // A key-down the program's message loop retrieved, for whatever window:
    // the caret keys, Print Screen and Delete belong to the text tool and no
    // window sees them. True when the key is consumed.
    bool AppKeyDown(int key);
    // A key-down in the overlay (Esc, Ctrl+Z, Ctrl+Y, Ctrl+C); true when used.
    bool OverlayKeyDown(int key, bool ctrl);
    // The host's timer: drives the text caret's blink.
    void TimerTick();
    // The application became active.
    void ApplicationActivated() { FPanels->ApplicationActivated(); }
    TBaseToolLayer* CurTool() const { return FCurTool; }
    TStoreListBitmap32& History() { return StoreListBitmap32; }

    // The finished picture: the selection cut out of the working image.
    // Plays the shutter sound (Settings.playsound) once per call.
    TBitmap32 GetBitmap() const;

    TImageView& View() { return imgView1; }
    const TImageView& View() const { return imgView1; }
    TRubberbandLayerNew& Selection() { return *LayerRect; }
    const TRubberbandLayerNew& Selection() const { return *LayerRect; }
    TDrawImageLayer& DrawLayer() { return *LayerDrawTool; }
    const TRect& WorkArea() const { return RectWork; }

private:
    void imgView1MouseDown(const TViewMouse& m, TCustomLayer* layer);
    void imgView1MouseMove(const TViewMouse& m, TCustomLayer* layer);
    void imgView1MouseUp(const TViewMouse& m, TCustomLayer* layer);
    void LayerRectResizing(const TFloatRect& oldLocation, TFloatRect& newLocation);
    TBaseToolLayer* CreateToolLayer(TCurTool kind, const TRect& L);
    // The text tool's commit: the box into the working image, one undo step
    // unless the text is blank, then a fresh text layer.
    void ApplyText(TTextEditToolLayer* text);
    // A text box being edited is committed before undo, redo and Esc.
    bool CommitEditedText();

    TSetRegionHost& FHost;
    TTextRasterizer& FText;
    TOverlayPanels FNoPanels;
    TOverlayPanels* FPanels = &FNoPanels;
    TImageView imgView1;
    TDrawImageLayer* LayerDrawTool = nullptr;
    TRubberbandLayerNew* LayerRect = nullptr;
    TCurTool FCurTypeTool = ctNone;
    TBaseToolLayer* FCurTool = nullptr;
    TRect RectWork;
    TInitialDrag FInitialDrag;
    TStoreListBitmap32 StoreListBitmap32;
    TSoundPlayer* FPlayer = nullptr;
    std::wstring FSoundFile;
};
