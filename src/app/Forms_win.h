#pragma once
// Process-wide reference to the main window, set when it is created so the
// other windows can reach it; null until (and unless) created. The overlay's
// references are declared beside the overlay.
class TOrvik_Kadrix_MainForm;

extern TOrvik_Kadrix_MainForm* MainForm;

// Entry points of windows that are created on demand.
void RunSettingsCommand();
void RunAboutCommand();
void ShowOfferWindow();
// Shows the welcome window modally; true when it closed with OK.
bool ShowWelcomeModal();
void CheckUpdatesIfDue();
void StartUpdateCheck();
// True while the settings dialog's hotkey editor has the keyboard focus.
bool SettingsHotKeyEditorFocused();
// Area capture request from the tray, the chord or the welcome window.
void RequestAreaCapture();
