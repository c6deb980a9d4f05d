#pragma once
// The hidden main window: owns the tray icon and its menu, the start-up and
// update timers, the show-settings handshake and the mouse-chord hook.
#include "app/MainFormLogic.h"
#include "win32/Window_win.h"

#include <string>
#include <vector>

inline constexpr wchar_t MainFormClassName[] = L"TOrvik_Kadrix_MainForm";
inline constexpr wchar_t MainFormCaption[] = L"Orvik_Kadrix_MainForm";
inline constexpr wchar_t ShowSettingsMessageName[] = L"ORVIK_KADRIX_SHOWSETTINGS";

class TOrvik_Kadrix_MainForm final : public TWindow, private TMainFormHost {
public:
    explicit TOrvik_Kadrix_MainForm(std::vector<std::wstring> args);
    ~TOrvik_Kadrix_MainForm() override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    void AddTrayIcon();
    void RemoveTrayIcon() noexcept;
    void ShowPopupMenu();
    static LRESULT CALLBACK MouseChordHook(int code, WPARAM wParam, LPARAM lParam) noexcept;

    void SetTimer(TMainTimer timer, unsigned ms) override;
    void KillTimer(TMainTimer timer) override;
    void Pause(unsigned ms) override;
    void PostCaptureRequest() override;
    void RequestAreaCapture() override;
    void ShowOfferWindow() override;
    void OpenSupportPage() override;
    void OpenSurveyPage() override;
    void RunSettingsCommand() override;
    void StartUpdateCheck() override;
    void CheckUpdatesIfDue() override;
    void RunAboutCommand() override;
    bool ShowWelcomeModal() override;
    void Quit() override;

    TMainFormLogic FLogic;
    UINT SHOW_SETTINGS_MESSAGE = 0;
    UINT FTaskbarCreated = 0;
    unique_icon FIcon;
    bool FTrayAdded = false;
    static inline HHOOK FHook = nullptr;
};
