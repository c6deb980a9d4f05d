#pragma once
// The one Win32 window that shows a portable form: borderless, its class
// registered under the form's own class name, the form's back buffer blitted
// rectangle by rectangle, input decoded once and fed to the form, the form's
// timers as system timers, hints as a tooltip, and combo boxes as real
// owner-drawn system lists kept out of sight (an empty window region), whose
// pop-up, selection and item drawing come back to the portable control.
#include "ui/Form.h"
#include "win32/Window_win.h"

#include <map>

struct TFormWindowStyle {
    const wchar_t* ClassName = L"";
    DWORD Style = WS_POPUP;
    DWORD ExStyle = 0;
    HWND Owner = nullptr;
    // Showing activates the window (dialogs) or leaves the focus where it is
    // (notifications, panels).
    bool Activate = false;
};

class TFormWindow : public TWindow, public TFormHost {
public:
    // The form must outlive the window; the window attaches itself as host.
    TFormWindow(TForm& form, const TFormWindowStyle& style);
    ~TFormWindow() override;

    TForm& Form() const { return FForm; }

    // TFormHost
    void InvalidateArea(const TRect& area) override;
    void ShowWindow() override;
    void HideWindow() override;
    void PlaceWindow(const TRect& screenBounds) override;
    void BringToFront() override;
    void StartTimer(TTimer& timer) override;
    void StopTimer(TTimer& timer) override;
    void ControlsChanged() override { FHintsStale = true; }
    TRect PrimaryWorkArea() const override;
    std::unique_ptr<TComboList> CreateComboList(TOrvikComboBox& combo) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    class TComboListWindow;
    friend class TComboListWindow;

    void Paint();
    void SyncHints();
    bool DrawComboItem(const DRAWITEMSTRUCT& item);

    TForm& FForm;
    TFormWindowStyle FStyle;
    unique_hwnd FToolTip;
    int FToolCount = 0;
    bool FHintsStale = true;
    bool FTrackingLeave = false;
    std::map<UINT_PTR, TTimer*> FTimers;
    UINT_PTR FNextTimerId = 1;
    std::map<int, TComboListWindow*> FCombos; // by control id
    int FNextComboId = 1000;
};

// A form and the window showing it, made in that order (the window's
// procedure may reach the form from its first message) and destroyed in
// reverse.
template <class TF> class THostedForm {
public:
    template <class... A>
    explicit THostedForm(const TFormWindowStyle& style, A&&... args)
        : Form(std::forward<A>(args)...), Window(Form, style) {}

    TF Form;
    TFormWindow Window;
};
