// Process entry: library search path, crash reports, single-instance
// handshake, private fonts, the long-lived windows in their fixed order, and
// the message loop.
#include "app/CrashReport.h"
#include "app/CrashReport_win.h"
#include "app/FontFolder.h"
#include "app/Forms_win.h"
#include "app/MainUnit_win.h"
#include "capture/SetRegionFormUnit_win.h"
#include "companion/CompanionRuntime_win.h"
#include "editor/EditorPanels_win.h"
#include "output/BHintUnit.h"
#include "output/LoadFormUnit.h"
#include "output/PanelSaveWindow_win.h"
#include "settings/SettingsUnit_win.h"
#include "support/DebugTrace.h"
#include "win32/FormWindow_win.h"
#include "win32/GdiTextRasterizer_win.h"
#include "win32/Window_win.h"

#include <commctrl.h>
#include <memory>
#include <shellapi.h>

namespace {
constexpr wchar_t InstanceMutexName[] = L"{3B9E4C71-8A2D-4F06-B5E3-7C1D92A4F580}";

void RegisterPrivateFont(const std::wstring& path, bool remove) {
    if (remove)
        ::RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
    else
        ::AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
}

std::vector<std::wstring> CommandLineArgs() {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    if (!argv) return args;
    for (int i = 1; i < count; ++i)
        args.emplace_back(argv[i]);
    ::LocalFree(argv);
    return args;
}

int RunFirstInstance(const TCrashReporter& crashReporter) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    // Creation order matters: later windows may use earlier ones while
    // being created. Destruction runs in reverse.
    auto mainForm = std::make_unique<TOrvik_Kadrix_MainForm>(CommandLineArgs());
    auto setRegionForm = std::make_unique<TSetRegionWindow>(&SettingsHotKeyEditorFocused);
    TGdiTextRasterizer formText;
    TPanelSaveWindow panelSave(*setRegionForm, formText);
    // The tools panel and its font and width balloons.
    TEditorPanels editorPanels(*setRegionForm, panelSave, formText);
    // The offer window, the update check and the shutter sound.
    TCompanionRuntime companions(formText, setRegionForm->Form());
    // The result windows stand on their own: owned by the desktop, no
    // taskbar button, above everything.
    const TFormWindowStyle resultWindow{.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                        .Owner = ::GetDesktopWindow()};
    TFormWindowStyle style = resultWindow;
    style.ClassName = L"TBHintForm";
    THostedForm<TBHintForm> bHintForm(style, formText);
    BHintForm = &bHintForm.Form;
    style.ClassName = L"TLoadForm";
    THostedForm<TLoadForm> loadForm(style, formText);
    LoadForm = &loadForm.Form;
    // Before the hotkeys: a taken hotkey, told after it, is what the user must act on.
    if (crashReporter.TakeUntoldCrash()) panelSave.ShowNotification(std::wstring(CrashNotice));
    ReportTakenCaptureHotKeys();

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Before the overlay's filter, which swallows Print Screen.
        SettingsWatchMessage(msg);
        if (setRegionForm->PreTranslateMessage(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    BHintForm = nullptr;
    LoadForm = nullptr;
    return static_cast<int>(msg.wParam);
}
} // namespace

// The linker's entry point: the process's first code, before the C runtime
// starts and before any static initialiser. From here on every library
// loaded by name, by Kadrix or by a library it uses, comes from System32
// only, never from the exe's folder or the current one. (The exe's own
// imports are resolved by the loader before this runs.)
extern "C" int WinMainCRTStartup();
extern "C" int KadrixEntry() {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return WinMainCRTStartup();
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const TCrashReporter crashReporter;
    SettingsStartup();
    const std::wstring fontsFolder = ExeDirectory() + L"Fonts\\";
    SetFolderFonts(fontsFolder, false, RegisterPrivateFont);

    int exitCode = 0;
    // Owned for the whole run; the system would release it at exit anyway.
    unique_handle mutex(::CreateMutexW(nullptr, TRUE, InstanceMutexName));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        if (HWND first = ::FindWindowW(MainFormClassName, MainFormCaption))
            ::PostMessageW(first, ::RegisterWindowMessageW(ShowSettingsMessageName), 0, 0);
    } else {
        try {
            exitCode = RunFirstInstance(crashReporter);
        } catch (const std::exception& e) {
            DebugTraceException(L"EXCEPTION Application: ", e);
            exitCode = 1;
        }
    }
    SetFolderFonts(fontsFolder, true, RegisterPrivateFont);
    return exitCode;
}
