#pragma once
// The hidden main window: owns the tray icon and its menu, the start-up and
// update timers, the show-settings handshake and the mouse-chord hook.
#include "app/MouseChord.h"
#include "win32/Window_win.h"

#include <string>
#include <vector>

inline constexpr wchar_t MainFormClassName[] = L"TOrvik_Kadrix_MainForm";
inline constexpr wchar_t MainFormCaption[] = L"Orvik_Kadrix_MainForm";
inline constexpr wchar_t ShowSettingsMessageName[] = L"ORVIK_KADRIX_SHOWSETTINGS";

class TOrvik_Kadrix_MainForm final : public TWindow {
public:
    explicit TOrvik_Kadrix_MainForm(std::vector<std::wstring> args);
    ~TOrvik_Kadrix_MainForm() override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    void AddTrayIcon();
    void RemoveTrayIcon() noexcept;
    void TrayIcon1Click();
    void ShowPopupMenu();
    void RunMenuCommand(UINT id);
    void Timer1Timer();
    void TimerCheckUpdatesTimer();
    void SetCheckUpdatesTimer(bool enabled);
    static LRESULT CALLBACK MouseChordHook(int code, WPARAM wParam, LPARAM lParam) noexcept;

    std::vector<std::wstring> FArgs;
    UINT SHOW_SETTINGS_MESSAGE = 0;
    UINT FTaskbarCreated = 0;
    unique_icon FIcon;
    bool FTrayAdded = false;
    bool FCheckUpdatesOn = false;
    static inline HHOOK FHook = nullptr;
    static inline TMouseChord FChord;
};
