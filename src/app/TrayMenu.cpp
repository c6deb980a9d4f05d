#include "app/TrayMenu.h"

const std::vector<TTrayMenuItem>& TrayMenuItems() {
    using enum TTrayCommand;
    static const std::vector<TTrayMenuItem> items = {
        {L"Сделать скриншот", tcScreenshot},
        {L"Записать видео", tcRecordVideo},
        {L"", tcNone},
        {L"Техподдержка", tcSupport, false},
        {L"Настройки", tcSettings},
        {L"Оставить отзыв", tcFeedback},
        {L"Проверить обновление", tcCheckUpdate, false},
        {L"О программе", tcAbout},
        {L"", tcNone},
        {L"Выход", tcExit},
    };
    return items;
}

bool IsInstallCommandLine(const std::vector<std::wstring>& args) {
    return args.size() == 1 && args.front() == L"/install";
}
