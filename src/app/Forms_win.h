#pragma once
// Process-wide references to the long-lived windows, set when each is created
// so the windows can reach one another. Null until (and unless) created.
class TOrvik_Kadrix_MainForm;
class TSetRegionForm;
class TSetRegionWindow;

extern TOrvik_Kadrix_MainForm* MainForm;
extern TSetRegionForm* SetRegionForm;

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
