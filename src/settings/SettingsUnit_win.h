#pragma once
// Ties the settings store to the running process: the real registry and the
// user's pictures folder.
#include "settings/SettingsUnit.h"

#include <optional>
#include <string>

// Fills the global Settings; WinMain calls it before creating any window.
void SettingsStartup();

// The registry every part of the process uses.
TRegistry& ProcessRegistry();

// SaveRegSettings for the global Settings and the running executable.
void SaveSettings();

// The shell's pictures folder for the current user, nullopt on failure.
std::optional<std::wstring> PicturesFolder();
// GetDefaultPath for this user (also the settings dialog's "reset").
std::wstring DefaultSavePath();
