#pragma once
// The toolkit's timer on a form: an interval and an event. Switching on a
// timer that is already on does nothing (it keeps counting from its first
// start); the form's host does the counting.
#include <functional>

class TForm;

class TTimer {
public:
    TTimer(TForm& owner, unsigned interval);
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    unsigned Interval() const { return FInterval; }
    // Restarts the count when the timer is on.
    void SetInterval(unsigned ms);

    std::function<void()> OnTimer;

    // The host calls this when the interval has passed.
    void Fire();

private:
    TForm& FOwner;
    unsigned FInterval;
    bool FEnabled = false;
};
