#pragma once
#include <windows.h>

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
// After every finished copy, save or upload: may show the offer or survey.
void ShowSurveyOrOffer();
// True while the settings dialog's hotkey editor has the keyboard focus.
bool SettingsHotKeyEditorFocused();
// Sees every message the GUI thread takes from its queue, before the
// overlay's filter: Print Screen aimed at a hotkey editor is typed into it.
// Never consumes the message.
void SettingsWatchMessage(const MSG& msg);
// Registers the capture hotkeys once more and names the refused ones in one
// notification; call once the notification window exists.
void ReportTakenCaptureHotKeys();
// Area capture request from the tray, the chord or the welcome window.
void RequestAreaCapture();
