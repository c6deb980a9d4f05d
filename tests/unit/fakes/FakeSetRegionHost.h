#pragma once
// The overlay's platform side for tests: a fixed monitor layout, a screen
// image the grab copies from, and a record of what the overlay asked for.
#include "capture/SetRegionForm.h"

class TFakeSetRegionHost : public TSetRegionHost {
public:
    bool OverlayShowing() const override { return Showing; }
    void ShowOverlay(const TRect& bounds) override {
        Showing = true;
        ShownAt = bounds;
        ++ShowCount;
    }
    void HideOverlay() override { Showing = false; }
    void FocusOverlay() override {}
    TPoint PrimaryScreenSize() const override { return Primary; }
    std::vector<TRect> MonitorBounds() const override { return Monitors; }
    TBitmap32 GrabScreen(const TRect& area, bool drawCursor) override {
        ++GrabCount;
        GrabbedCursor = drawCursor;
        TBitmap32 b(area.Width(), area.Height());
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                b.SetPixel(x, y, ScreenPixel(x + area.Left, y + area.Top));
        return b;
    }
    std::optional<TRect> ForegroundWindowRect() const override { return Foreground; }
    TPoint CursorPos() const override { return Cursor; }
    void SetAppCursor(TCursorKind c) override { AppCursor = c; }
    bool HotKeyEditorFocused() const override { return EditorFocused; }
    std::uint32_t TickCount() const override { return Ticks; }
    TColor SysColorToRGB(TColor c) const override { return c == -16777211 ? 0x00EEDDCC : 0; }

    // An opaque pattern that differs from pixel to pixel.
    static TColor32 ScreenPixel(int x, int y) {
        return 0xFF000000u | (TColor32((x * 7) & 255) << 16) | (TColor32((y * 5) & 255) << 8) |
               TColor32(((x + y) * 3) & 255);
    }

    bool Showing = false;
    TRect ShownAt;
    int ShowCount = 0;
    int GrabCount = 0;
    bool GrabbedCursor = false;
    TPoint Primary{800, 600};
    std::vector<TRect> Monitors{{0, 0, 800, 600}};
    std::optional<TRect> Foreground;
    TPoint Cursor{700, 500};
    TCursorKind AppCursor = crDefault;
    bool EditorFocused = false;
    std::uint32_t Ticks = 1000;
};
