#include "companion/DialogHost_win.h"

#include "app/Forms_win.h"
#include "capture/SetRegionFormUnit_win.h"
#include "settings/ServiceAddress.h"
#include "settings/SettingsUnit_win.h"
#include "support/LocalDate.h"
#include "support/Utilities_win.h"

#include <chrono>

TRegistry& TWinDialogServices::Registry() {
    return ProcessRegistry();
}

TDate TWinDialogServices::Now() {
    return DateTimeNow();
}

void TWinDialogServices::OpenPage(const TServicePage& page) {
    try {
        ::OpenInShell(ServiceAddress(ProcessRegistry(), page));
    } catch (const std::exception&) {
    }
}

void TWinDialogServices::StartWindowDrag(TForm& form) {
    auto* window = dynamic_cast<TFormWindow*>(form.Host());
    if (!window) return;
    ::ReleaseCapture();
    ::SendMessageW(window->Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

TWinDialogServices& DialogServices() {
    static TWinDialogServices services;
    return services;
}

TFormWindowStyle DialogStyle(const wchar_t* className, HWND owner) {
    return {.ClassName = className,
            .Style = WS_POPUP,
            .ExStyle = WS_EX_APPWINDOW,
            .Owner = owner,
            .Activate = true};
}

int RunModal(TCompanionForm& form) {
    form.ModalResult = mrNone;
    form.Show();
    if (auto* window = dynamic_cast<TFormWindow*>(form.Host()))
        ::SetForegroundWindow(window->Handle());
    MSG msg;
    while (form.Showing()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            form.Close();
            break;
        }
        // The overlay's keys work while a dialog waits.
        if (SetRegionWindow && SetRegionWindow->PreTranslateMessage(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return form.ModalResult == mrNone ? int(mrCancel) : form.ModalResult;
}

void PumpMessagesFor(unsigned ms) {
    using TClock = std::chrono::steady_clock;
    const auto end = TClock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - TClock::now());
        if (left.count() <= 0) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()),
                                    QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (SetRegionWindow && SetRegionWindow->PreTranslateMessage(msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}
