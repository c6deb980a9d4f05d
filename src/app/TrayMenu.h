#pragma once
// The tray menu as data: the Win32 side builds the popup from it, tests read
// it without a window. Hidden items are kept in the model but never shown.
#include <string>
#include <vector>

enum class TTrayCommand {
    tcNone,
    tcScreenshot,
    tcRecordVideo,
    tcSupport,
    tcSettings,
    tcFeedback,
    tcCheckUpdate,
    tcAbout,
    tcExit,
};

struct TTrayMenuItem {
    std::wstring Caption; // empty for a separator
    TTrayCommand Command = TTrayCommand::tcNone;
    bool Visible = true;
    bool IsSeparator() const { return Command == TTrayCommand::tcNone; }
};

const std::vector<TTrayMenuItem>& TrayMenuItems();

// The welcome window shows only for exactly one argument equal to "/install".
bool IsInstallCommandLine(const std::vector<std::wstring>& args);
