#pragma once
// The settings dialog in a real window: the three hotkey editors as
// subclassed system edit boxes, dragging by the background, its own taskbar
// button, the modal run and the process-wide entry points.
#include <windows.h>

#include "settings/SettingsUnit.h"

// Drops the taskbar tab of wnd through the shell's taskbar-list object;
// raises std::runtime_error when a step fails.
void HideAppTaskbarButton(HWND wnd);
