#include "app/MainUnit_win.h"

#include "app/Forms_win.h"
#include "app/TrayMenu.h"
#include "settings/ServiceAddress.h"
#include "settings/SettingsUnit.h"
#include "settings/SettingsUnit_win.h"
#include "support/DebugTrace.h"
#include "support/Utilities.h"
#include "support/Utilities_win.h"

#include <shellapi.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {
using namespace std::chrono_literals;

// From the request to exit, the rest of the shutdown may take this long;
// then the process ends anyway (a worker inside a request, a window the
// system is slow to take down, the shell slow to drop the tray icon).
constexpr auto ExitDeadline = 2s;
// What the shell gets to remove the tray icon.
constexpr DWORD TrayDeleteWaitMs = 1000;

void ArmExitDeadline() noexcept {
    static std::atomic_flag armed;
    if (armed.test_and_set()) return;
    try {
        std::thread([] {
            std::this_thread::sleep_for(ExitDeadline);
            ::TerminateProcess(::GetCurrentProcess(), 0);
        }).detach();
    } catch (...) {
        // No thread: the shutdown runs unguarded, as before.
    }
}

constexpr UINT WM_TRAYICON = WM_APP + 1;
constexpr UINT WM_CAPTUREREQUEST = WM_APP + 2;
constexpr UINT TrayIconId = 1;
constexpr int MainIconResource = 1;
} // namespace

TOrvik_Kadrix_MainForm* MainForm = nullptr;

TOrvik_Kadrix_MainForm::TOrvik_Kadrix_MainForm(std::vector<std::wstring> args)
    : FLogic(*this, std::move(args)) {
    FIcon.reset(static_cast<HICON>(::LoadImageW(AppInstance(), MAKEINTRESOURCEW(MainIconResource),
                                                IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                ::GetSystemMetrics(SM_CYSMICON), 0)));
    RegisterWindowClass({.Name = MainFormClassName, .Icon = FIcon.get()});
    // A real top-level window with the searched caption, never shown.
    CreateHandle(MainFormClassName, MainFormCaption, WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT,
                 CW_USEDEFAULT, 200, 100);
    MainForm = this;
    FormCreate();
}

TOrvik_Kadrix_MainForm::~TOrvik_Kadrix_MainForm() {
    if (FHook) {
        ::UnhookWindowsHookEx(FHook);
        FHook = nullptr;
    }
    RemoveTrayIcon();
    if (MainForm == this) MainForm = nullptr;
}

void TOrvik_Kadrix_MainForm::FormCreate() {
    FHook = ::SetWindowsHookExW(WH_MOUSE_LL, &MouseChordHook, AppInstance(), 0);
    FLogic.FormCreate();
    SHOW_SETTINGS_MESSAGE = ::RegisterWindowMessageW(ShowSettingsMessageName);
    FTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    AddTrayIcon();
}

void TOrvik_Kadrix_MainForm::AddTrayIcon() {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = Handle();
    nid.uID = TrayIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAYICON;
    nid.hIcon = FIcon.get();
    const std::wstring tip(ProductTitle);
    wcsncpy(nid.szTip, tip.c_str(), std::size(nid.szTip) - 1);
    FTrayAdded = ::Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
}

void TOrvik_Kadrix_MainForm::RemoveTrayIcon() noexcept {
    if (!FTrayAdded) return;
    FTrayAdded = false;
    auto nid = std::make_shared<NOTIFYICONDATAW>();
    nid->cbSize = sizeof(NOTIFYICONDATAW);
    nid->hWnd = Handle();
    nid->uID = TrayIconId;
    // The shell answers when it likes (Wine's waits for its tray window to
    // unmap, seconds without a window manager): asked from a thread of its
    // own, it holds the exit a second at most. Messages the shell sends
    // meanwhile are answered.
    try {
        const auto done =
            std::make_shared<unique_handle>(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!*done) throw std::runtime_error("CreateEvent failed");
        std::thread([nid, done] {
            ::Shell_NotifyIconW(NIM_DELETE, nid.get());
            ::SetEvent(done->get());
        }).detach();
        const HANDLE wait = done->get();
        const DWORD end = ::GetTickCount() + TrayDeleteWaitMs;
        for (;;) {
            const DWORD now = ::GetTickCount();
            const DWORD left = int(end - now) > 0 ? end - now : 0;
            if (::MsgWaitForMultipleObjects(1, &wait, FALSE, left, QS_SENDMESSAGE) !=
                WAIT_OBJECT_0 + 1)
                break;
            MSG msg;
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    } catch (...) {
        ::Shell_NotifyIconW(NIM_DELETE, nid.get());
    }
}

LRESULT TOrvik_Kadrix_MainForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != 0 && msg == SHOW_SETTINGS_MESSAGE) {
        ::RunSettingsCommand();
        return DefaultProc(msg, wParam, lParam);
    }
    if (msg != 0 && msg == FTaskbarCreated) {
        // The shell restarted: the icon must be added again.
        FTrayAdded = false;
        AddTrayIcon();
        return 0;
    }
    switch (msg) {
    case WM_TRAYICON:
        switch (LOWORD(lParam)) {
        case WM_LBUTTONUP:
            try {
                FLogic.TrayIcon1Click();
            } catch (const std::exception& e) {
                DebugTraceException(L"EXCEPTION TrayIcon1Click: ", e);
            }
            break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            ShowPopupMenu();
            break;
        }
        return 0;
    case WM_TIMER:
        FLogic.TimerTick(static_cast<TMainTimer>(wParam));
        return 0;
    case WM_CAPTUREREQUEST:
        try {
            ::RequestAreaCapture();
        } catch (const std::exception& e) {
            DebugTraceException(L"EXCEPTION MouseChordHook: ", e);
        }
        return 0;
    case WM_CLOSE:
        // The installer and the uninstaller ask a running copy to exit this
        // way: the same clean exit as "Выход".
        Quit();
        return 0;
    case WM_ENDSESSION:
        if (wParam) Quit();
        return 0;
    }
    return DefaultProc(msg, wParam, lParam);
}

void TOrvik_Kadrix_MainForm::ShowPopupMenu() {
    unique_menu menu(::CreatePopupMenu());
    if (!menu) return;
    const auto& items = TrayMenuItems();
    for (UINT i = 0; i < items.size(); ++i) {
        if (!items[i].Visible) continue;
        if (items[i].IsSeparator())
            ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuW(menu.get(), MF_STRING, i + 1, items[i].Caption.c_str());
    }
    POINT pt{};
    ::GetCursorPos(&pt);
    // Without the foreground switch the menu would not close on an outside click.
    ::SetForegroundWindow(Handle());
    const UINT id = static_cast<UINT>(
        ::TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, pt.x, pt.y, 0,
                         Handle(), nullptr));
    ::PostMessageW(Handle(), WM_NULL, 0, 0);
    if (id == 0 || id > items.size()) return;
    try {
        FLogic.RunMenuCommand(items[id - 1].Command);
    } catch (const std::exception& e) {
        DebugTraceException(L"EXCEPTION PopupMenu1: ", e);
    }
}

void TOrvik_Kadrix_MainForm::SetTimer(TMainTimer timer, unsigned ms) {
    ::SetTimer(Handle(), timer, ms, nullptr);
}

void TOrvik_Kadrix_MainForm::KillTimer(TMainTimer timer) {
    ::KillTimer(Handle(), timer);
}

void TOrvik_Kadrix_MainForm::Pause(unsigned ms) {
    ::Sleep(ms);
}

void TOrvik_Kadrix_MainForm::PostCaptureRequest() {
    ::PostMessageW(Handle(), WM_CAPTUREREQUEST, 0, 0);
}

void TOrvik_Kadrix_MainForm::RequestAreaCapture() {
    ::RequestAreaCapture();
}

void TOrvik_Kadrix_MainForm::ShowOfferWindow() {
    ::ShowOfferWindow();
}

void TOrvik_Kadrix_MainForm::OpenSupportPage() {
    OpenInShell(ServiceAddress(ProcessRegistry(), ProductConstants::SupportPage));
}

void TOrvik_Kadrix_MainForm::OpenSurveyPage() {
    OpenInShell(ServiceAddress(ProcessRegistry(), ProductConstants::SurveyPage));
}

void TOrvik_Kadrix_MainForm::RunSettingsCommand() {
    ::RunSettingsCommand();
}

void TOrvik_Kadrix_MainForm::StartUpdateCheck() {
    ::StartUpdateCheck();
}

void TOrvik_Kadrix_MainForm::CheckUpdatesIfDue() {
    ::CheckUpdatesIfDue();
}

void TOrvik_Kadrix_MainForm::RunAboutCommand() {
    ::RunAboutCommand();
}

bool TOrvik_Kadrix_MainForm::ShowWelcomeModal() {
    return ::ShowWelcomeModal();
}

void TOrvik_Kadrix_MainForm::Quit() {
    // An open tray menu runs its own loop, which would keep the quit waiting.
    ::EndMenu();
    ::PostQuitMessage(0);
    ArmExitDeadline();
}

LRESULT CALLBACK TOrvik_Kadrix_MainForm::MouseChordHook(int code, WPARAM wParam,
                                                        LPARAM lParam) noexcept {
    // The second press is swallowed so no application sees it; the capture
    // runs after the hook has returned.
    if (code == HC_ACTION && MainForm &&
        MainForm->FLogic.MouseHookEvent(static_cast<std::uint32_t>(wParam), Settings.TwoMouse))
        return 1;
    return ::CallNextHookEx(FHook, code, wParam, lParam);
}
