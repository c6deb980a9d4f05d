#pragma once
// A capture hotkey another program holds (a cloud client or the system's
// snipping shortcut often takes Print Screen) would otherwise just do
// nothing. At start the three are registered once more and one notification
// names the combinations that were refused; the stored values stay.
#include "settings/ReplaceHotKey.h"

#include <functional>
#include <string>
#include <vector>

// Registers whole screen, window and area in that order; the refused ones
// that are not "none", in that order.
std::vector<TShortCut>
RegisterCaptureHotKeys(const TSettings& settings,
                       const std::function<bool(TTypeHotKey, TShortCut)>& reg);

// Empty when nothing was refused.
std::wstring TakenHotKeysMessage(const std::vector<TShortCut>& taken,
                                 const TKeyNameFn& keyName = {});
