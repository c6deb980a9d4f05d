#include "ui/Timer.h"

#include "ui/Form.h"

TTimer::TTimer(TForm& owner, unsigned interval) : FOwner(owner), FInterval(interval) {
    FOwner.AddTimer(*this);
}

TTimer::~TTimer() {
    if (FEnabled && FOwner.Host()) FOwner.Host()->StopTimer(*this);
    FOwner.RemoveTimer(*this);
}

void TTimer::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    if (TFormHost* host = FOwner.Host()) {
        if (value)
            host->StartTimer(*this);
        else
            host->StopTimer(*this);
    }
}

void TTimer::SetInterval(unsigned ms) {
    if (ms == FInterval) return;
    FInterval = ms;
    if (FEnabled && FOwner.Host()) {
        FOwner.Host()->StopTimer(*this);
        FOwner.Host()->StartTimer(*this);
    }
}

void TTimer::Fire() {
    if (FEnabled && OnTimer) OnTimer();
}
