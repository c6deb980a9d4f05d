// Each window the program has so far, in the states worth looking at. A new
// window adds one entry: a file name, a title and how to set it up.
#include "Views.h"
#include "output/BHintUnit.h"
#include "output/LoadFormUnit.h"

namespace {
TBitmap32 Notification(const TTextRasterizer& text, const std::wstring& message) {
    TBHintForm form(text);
    BHintForm = &form; // shown the way the program shows it
    ShowNotification(message);
    BHintForm = nullptr;
    return Snapshot(form);
}

TBitmap32 Progress(const TTextRasterizer& text, int position) {
    TLoadForm form(text);
    form.SetPosition(position);
    return Snapshot(form);
}
} // namespace

const std::vector<TWindowEntry>& WindowEntries() {
    using T = const TTextRasterizer&;
    static const std::vector<TWindowEntry> entries = {
        {"window-notification-short.png", L"Notification, short message",
         [](T t) { return Notification(t, L"Ссылка на скриншот в буфере обмена."); }},
        {"window-notification-two-lines.png", L"Notification, two lines",
         [](T t) {
             return Notification(t, L"Скриншот скопирован в буфер обмена.\r\n"
                                    L"Нажмите Ctrl+V, чтобы вставить.");
         }},
        {"window-notification-wrapped.png", L"Notification, long message wrapped",
         [](T t) {
             return Notification(t, L"Не удалось загрузить скриншот, потому что сервер не "
                                    L"ответил вовремя. Пожалуйста, попробуйте еще раз.");
         }},
        {"window-notification-overflow.png", L"Notification, message longer than the box",
         [](T t) {
             return Notification(t, L"Не удалось загрузить скриншот, потому что сервер не "
                                    L"ответил вовремя. Проверьте подключение к интернету и "
                                    L"настройки прокси, а затем пожалуйста, попробуйте еще "
                                    L"раз немного позже.");
         }},
        {"window-progress-0.png", L"Upload progress 0 %", [](T t) { return Progress(t, 0); }},
        {"window-progress-37.png", L"Upload progress 37 %", [](T t) { return Progress(t, 37); }},
        {"window-progress-100.png", L"Upload progress 100 %", [](T t) { return Progress(t, 100); }},
    };
    return entries;
}
