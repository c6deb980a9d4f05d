#include "support/GuiDispatcher_win.h"

namespace {
constexpr wchar_t DispatcherClassName[] = L"TKadrixGuiDispatcher";
constexpr UINT WM_RUN_TASKS = WM_APP + 1;
} // namespace

TWinGuiDispatcher::TWinGuiDispatcher() {
    RegisterWindowClass({.Name = DispatcherClassName});
    CreateHandle(DispatcherClassName, L"", 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
}

TWinGuiDispatcher::~TWinGuiDispatcher() {
    DestroyHandle();
}

void TWinGuiDispatcher::Post(std::function<void()> task) {
    {
        std::lock_guard lock(FMutex);
        FTasks.push_back(std::move(task));
    }
    ::PostMessageW(Handle(), WM_RUN_TASKS, 0, 0);
}

LRESULT TWinGuiDispatcher::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_RUN_TASKS) return DefaultProc(msg, wParam, lParam);
    while (true) {
        std::function<void()> task;
        {
            std::lock_guard lock(FMutex);
            if (FTasks.empty()) break;
            task = std::move(FTasks.front());
            FTasks.pop_front();
        }
        task();
    }
    return 0;
}
