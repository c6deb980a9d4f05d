#pragma once
// Runs tasks on the GUI thread. Post must not wait for the task (Win32: a
// message posted to a hidden window); tests may run the task at once.
#include <functional>

class TGuiDispatcher {
public:
    virtual ~TGuiDispatcher() = default;
    virtual void Post(std::function<void()> task) = 0;
};
