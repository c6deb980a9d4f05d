#pragma once
// The folder chooser's window: the shell's folder tree from the desktop
// down in a system tree view, over the portable form of SelectDir.
#include <windows.h>

#include <optional>
#include <string>

// Modal over owner; preselect names an existing folder or is empty. The
// chosen folder's file-system path, nullopt when cancelled.
std::optional<std::wstring> RunSelectDir(HWND owner, const std::wstring& preselect);
