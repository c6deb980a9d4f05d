#include "dialogs/TakenHotKeys.h"

std::vector<TShortCut>
RegisterCaptureHotKeys(const TSettings& settings,
                       const std::function<bool(TTypeHotKey, TShortCut)>& reg) {
    std::vector<TShortCut> taken;
    const std::pair<TTypeHotKey, TShortCut> kinds[] = {{thkAll, settings.hkAllScreen},
                                                       {thkWin, settings.hkWindow},
                                                       {thkArea, settings.hkAreaScreen}};
    for (const auto& [kind, hk] : kinds)
        if (!reg(kind, hk) && hk != 0) taken.push_back(hk);
    return taken;
}

std::wstring TakenHotKeysMessage(const std::vector<TShortCut>& taken, const TKeyNameFn& keyName) {
    std::wstring names;
    for (TShortCut hk : taken) {
        const std::wstring text = ShortCutToText(hk, keyName);
        if (text.empty()) continue;
        if (!names.empty()) names += L", ";
        names += text;
    }
    if (names.empty()) return {};
    if (taken.size() == 1)
        return L"Клавиша " + names +
               L" занята другой программой. Назначьте другую в «Настройках» (меню значка).";
    return L"Клавиши " + names +
           L" заняты другой программой. Назначьте другие в «Настройках» (меню значка).";
}
