#include "dialogs/SettingFormUnit_win.h"

#include "app/Forms_win.h"
#include "app/MainUnit_win.h"
#include "capture/SetRegionFormUnit_win.h"
#include "dialogs/SelectDir_win.h"
#include "dialogs/SettingFormUnit.h"
#include "dialogs/TakenHotKeys.h"
#include "output/BHintUnit.h"
#include "settings/SettingsUnit_win.h"
#include "support/DebugTrace.h"
#include "support/Utilities_win.h"
#include "win32/FormWindow_win.h"
#include "win32/GdiTextRasterizer_win.h"

#include <commctrl.h>
#include <shobjidl.h>

#include <array>
#include <chrono>
#include <stdexcept>

namespace {
constexpr TColor EditBack = 0x321A09;
constexpr TColor EditText = 0xB2B1AA;

std::wstring LayoutKeyName(std::uint8_t vk) {
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    if (scan == 0) return {};
    wchar_t name[256] = {};
    const int n = ::GetKeyNameTextW(LONG(scan) << 16, name, 256);
    return std::wstring(name, std::max(n, 0));
}

bool KeyHeld(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}

class TWinSettingPlatform final : public TSettingPlatform {
public:
    HWND Owner = nullptr;

    bool IsRunWinStart() override { return ::IsRunWinStart(ProcessRegistry()); }
    std::wstring DefaultPath() override { return DefaultSavePath(); }
    bool RegHotKey(TTypeHotKey tp, TShortCut hk) override {
        return SetRegionWindow && SetRegionWindow->RegHotKey(tp, hk);
    }
    void SaveRegSettings(const TSettings& s) override {
        ::SaveRegSettings(ProcessRegistry(), s, ExeFileName(), ExeFullPath());
    }
    bool DirectoryExists(const std::wstring& path) override {
        const DWORD a = ::GetFileAttributesW(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::optional<std::wstring> ChooseFolder(const std::wstring& preselect) override {
        return RunSelectDir(Owner, preselect);
    }
    bool FolderWritable(const std::wstring& folder) override {
        static std::mt19937 random(
            unsigned(std::chrono::steady_clock::now().time_since_epoch().count()));
        return ::FolderWritable(folder, random);
    }
    std::wstring KeyName(std::uint8_t vk) override { return LayoutKeyName(vk); }
    void ShowError(const std::wstring& message) override {
        ::MessageBoxW(Owner, message.c_str(), std::wstring(ProductTitle).c_str(),
                      MB_OK | MB_ICONERROR);
    }
};

// One hotkey editor: a read-only system edit box whose keystrokes go to the
// editor rules instead of the box.
class THotKeyEdit {
public:
    THotKeyEdit(HWND parent, THotKeyField& field, HFONT font) : FField(field) {
        const TRect& b = field.EditBounds;
        FWnd.reset(::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_READONLY | ES_AUTOHSCROLL,
                                     b.Left, b.Top, b.Width(), b.Height(), parent, nullptr,
                                     AppInstance(), nullptr));
        if (!FWnd) throw std::runtime_error("CreateWindowEx(EDIT) failed");
        ::SendMessageW(FWnd.get(), WM_SETFONT, WPARAM(font), FALSE);
        ::SetWindowSubclass(FWnd.get(), &THotKeyEdit::Proc, 1, DWORD_PTR(this));
        field.Editor.OnShow = [this](const std::wstring& text) {
            ::SetWindowTextW(FWnd.get(), text.c_str());
        };
        ::SetWindowTextW(FWnd.get(), field.Editor.Text().c_str());
    }
    ~THotKeyEdit() {
        FField.Editor.OnShow = nullptr;
        ::RemoveWindowSubclass(FWnd.get(), &THotKeyEdit::Proc, 1);
    }
    THotKeyEdit(const THotKeyEdit&) = delete;
    THotKeyEdit& operator=(const THotKeyEdit&) = delete;

    HWND Handle() const { return FWnd.get(); }
    THotKeyEditor& Editor() { return FField.Editor; }

    void PrintScreen(bool alt) {
        Editor().KeyDown(VK_SNAPSHOT, KeyHeld(VK_SHIFT), KeyHeld(VK_CONTROL), alt);
    }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) noexcept {
        try {
            auto* self = reinterpret_cast<THotKeyEdit*>(data);
            switch (msg) {
            case WM_GETDLGCODE:
                return DLGC_WANTALLKEYS;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                self->Editor().KeyDown(std::uint16_t(wParam), KeyHeld(VK_SHIFT),
                                       KeyHeld(VK_CONTROL), KeyHeld(VK_MENU));
                return 0;
            case WM_KEYUP:
            case WM_SYSKEYUP:
                self->Editor().KeyUp();
                return 0;
            case WM_CHAR:
            case WM_SYSCHAR:
            case WM_DEADCHAR:
            case WM_SYSDEADCHAR:
                return 0;
            case WM_LBUTTONDBLCLK:
                if (self->Editor().OnDblClick) self->Editor().OnDblClick();
                return 0;
            }
        } catch (const std::exception& e) {
            DebugTraceException(L"EXCEPTION THotKey: ", e);
        }
        return ::DefSubclassProc(wnd, msg, wParam, lParam);
    }

    THotKeyField& FField;
    unique_hwnd FWnd;
};

TFormWindowStyle SettingWindowStyle() {
    return {.ClassName = L"TSettingForm",
            .Style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
            .ExStyle = WS_EX_APPWINDOW,
            .Owner = nullptr,
            .Activate = true};
}

class TSettingDialog;
TSettingDialog* LiveDialog = nullptr;

class TSettingDialog final : public TFormWindow {
public:
    TSettingDialog(TSettingForm& form, TWinSettingPlatform& platform)
        : TFormWindow(form, SettingWindowStyle()), FForm(form) {
        platform.Owner = Handle();
        FBrush.reset(::CreateSolidBrush(EditBack));
        HDC screen = ::GetDC(nullptr);
        const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ::ReleaseDC(nullptr, screen);
        const int points = HotKeyEditorFontPoints(dpi);
        FFont.reset(::CreateFontW(-::MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                  FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Roboto"));
        for (TTypeHotKey kind : {thkAll, thkArea, thkWin})
            FEdits[kind] = std::make_unique<THotKeyEdit>(Handle(), form.Field(kind), FFont.get());
        form.OnPageChanged = [this] { SyncEdits(); };
        SyncEdits();
        try {
            if (MainForm) HideAppTaskbarButton(MainForm->Handle());
        } catch (const std::exception& e) {
            DebugTraceException(L"EXCEPTION HideAppTaskbarButton: ", e);
        }
        LiveDialog = this;
    }
    ~TSettingDialog() override {
        if (LiveDialog == this) LiveDialog = nullptr;
        FForm.OnPageChanged = nullptr;
        for (auto& e : FEdits)
            e.reset();
    }

    TModalResult RunModal() {
        FForm.ResetModalResult();
        FForm.Show();
        ::SetForegroundWindow(Handle());
        MSG msg;
        while (FForm.Showing()) {
            const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                ::PostQuitMessage(int(msg.wParam)); // the outer loop ends too
                break;
            }
            if (got < 0) break;
            SettingsWatchMessage(msg);
            if (SetRegionWindow && SetRegionWindow->PreTranslateMessage(msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        FForm.Close();
        return FForm.ModalResult() == mrOk ? mrOk : mrCancel;
    }

    void Activate() {
        if (::IsIconic(Handle())) ::ShowWindow(Handle(), SW_RESTORE);
        ::SetForegroundWindow(Handle());
    }

    bool EditorFocused() const {
        const HWND focus = ::GetFocus();
        for (const auto& e : FEdits)
            if (e && e->Handle() == focus) return true;
        return false;
    }

    void WatchMessage(const MSG& msg) {
        for (const auto& e : FEdits)
            if (e && msg.hwnd == e->Handle())
                if (const auto alt = PrintScreenKeystrokeAlt(msg.message, msg.wParam, msg.lParam))
                    e->PrintScreen(*alt);
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_NCHITTEST: {
            const LRESULT hit = DefaultProc(msg, wParam, lParam);
            if (hit != HTCLIENT) return hit;
            POINT p{GET_X_LPARAM_(lParam), GET_Y_LPARAM_(lParam)};
            ::ScreenToClient(Handle(), &p);
            const TGraphicControl* c = FForm.ControlAt(p.x, p.y);
            // Only what reacts to the mouse keeps it; the rest drags the window.
            return c && (c->OnClick || c->OnDblClick) ? HTCLIENT : HTCAPTION;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, EditText);
            ::SetBkColor(dc, EditBack);
            return reinterpret_cast<LRESULT>(FBrush.get());
        }
        case WM_SHOWWINDOW:
            if (wParam) SyncEdits();
            break;
        }
        return TFormWindow::WndProc(msg, wParam, lParam);
    }

private:
    static int GET_X_LPARAM_(LPARAM lp) { return int(short(LOWORD(lp))); }
    static int GET_Y_LPARAM_(LPARAM lp) { return int(short(HIWORD(lp))); }

    void SyncEdits() {
        const bool show = FForm.ActivePage() == spHot;
        for (const auto& e : FEdits)
            if (e) ::ShowWindow(e->Handle(), show ? SW_SHOWNA : SW_HIDE);
        if (show && FEdits[thkAll] && !EditorFocused()) ::SetFocus(FEdits[thkAll]->Handle());
        if (!show && EditorFocused()) ::SetFocus(Handle());
        // The format list's system box belongs to the save page only (Wine
        // draws it despite its empty window region).
        const bool save = FForm.ActivePage() == spSave;
        ::EnumChildWindows(
            Handle(),
            [](HWND child, LPARAM visible) -> BOOL {
                wchar_t cls[16] = {};
                ::GetClassNameW(child, cls, 16);
                if (_wcsicmp(cls, WC_COMBOBOXW) == 0)
                    ::ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
                return TRUE;
            },
            save);
    }

    TSettingForm& FForm;
    unique_brush FBrush;
    unique_font FFont;
    std::array<std::unique_ptr<THotKeyEdit>, 3> FEdits;
};

TGdiTextRasterizer& DialogText() {
    static TGdiTextRasterizer text;
    return text;
}

class TComInit {
public:
    TComInit() : FOk(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~TComInit() {
        if (FOk) ::CoUninitialize();
    }
    TComInit(const TComInit&) = delete;
    TComInit& operator=(const TComInit&) = delete;

private:
    bool FOk;
};
} // namespace

void HideAppTaskbarButton(HWND wnd) {
    TComInit com;
    ITaskbarList* list = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ITaskbarList, reinterpret_cast<void**>(&list))) ||
        !list)
        throw std::runtime_error("Taskbar list is not available");
    const HRESULT init = list->HrInit();
    const HRESULT removed = SUCCEEDED(init) ? list->DeleteTab(wnd) : init;
    list->Release();
    if (FAILED(removed)) throw std::runtime_error("Taskbar button could not be removed");
}

void SettingsWatchMessage(const MSG& msg) {
    if (LiveDialog) LiveDialog->WatchMessage(msg);
}

bool SettingsHotKeyEditorFocused() {
    return LiveDialog && LiveDialog->EditorFocused();
}

void RunSettingsCommand() {
    if (LiveDialog) {
        LiveDialog->Activate();
        return;
    }
    try {
        TComInit com; // the folder tree and the taskbar list are COM objects
        TWinSettingPlatform platform;
        TSettingForm form(DialogText(), Settings, platform);
        const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
        form.SetPosition((sw - form.ClientWidth()) / 2, (sh - form.ClientHeight()) / 2);
        TSettingDialog dialog(form, platform);
        dialog.RunModal();
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPTION TSettingForm: ", e);
    }
}

void ReportTakenCaptureHotKeys() {
    if (!SetRegionWindow) return;
    const auto taken = RegisterCaptureHotKeys(
        Settings, [](TTypeHotKey tp, TShortCut hk) { return SetRegionWindow->RegHotKey(tp, hk); });
    const std::wstring message = TakenHotKeysMessage(taken, LayoutKeyName);
    if (!message.empty()) ShowNotification(message);
}
