#pragma once
// The system's save-file dialog as the save action runs it: filters
// png / jpg / bmp, no overwrite prompt, the system's own title, and a hook
// that rewrites the proposed name whenever the selection changes.
#include "output/PanelForm2Unit.h"
#include "win32/Handles_win.h"

#include <functional>
#include <optional>
#include <string>

// Runs modally; nullopt when cancelled. onSelectionChange maps the name the
// dialog shows after a selection change to the name it should show.
std::optional<TSaveDialogResult>
RunSaveDialog(HWND owner, const TSaveDialogRequest& request,
              std::function<std::wstring(const std::wstring&)> onSelectionChange);
