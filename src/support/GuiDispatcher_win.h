#pragma once
// Runs posted tasks on the GUI thread through a hidden message-only window.
#include "support/GuiDispatcher.h"
#include "win32/Window_win.h"

#include <deque>
#include <mutex>

class TWinGuiDispatcher final : public TWindow, public TGuiDispatcher {
public:
    TWinGuiDispatcher();
    ~TWinGuiDispatcher() override;
    void Post(std::function<void()> task) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::mutex FMutex;
    std::deque<std::function<void()>> FTasks;
};
