#include "support/AudioPlayer.h"

TAudioPlayer::TAudioPlayer(std::unique_ptr<TAudioDevice> device) : FDevice(std::move(device)) {}

TAudioPlayer::~TAudioPlayer() {
    try {
        Close();
    } catch (...) {
    }
    // Before the lock goes: the device's threads may still report an end.
    FDevice.reset();
}

void TAudioPlayer::CheckLoaded() const {
    if (!IsLoaded()) throw EAudioUnavailable();
}

void TAudioPlayer::SetFileName(std::wstring name) {
    std::lock_guard lock(FMutex);
    FFileName = std::move(name);
}

TAudioDevice::TStream TAudioPlayer::Open() {
    CheckLoaded();
    std::lock_guard lock(FMutex);
    CloseLocked(); // a sound still playing is cut off
    FStream = FDevice->OpenStream(FFileName);
    if (FStream != 0) FMode = apmOpen;
    return FStream;
}

bool TAudioPlayer::Play() {
    CheckLoaded();
    std::lock_guard lock(FMutex);
    if (FMode == apmClose) return false;
    const TAudioDevice::TStream stream = FStream;
    if (!FDevice->Play(stream, [this, stream] { StreamEnded(stream); })) return false;
    FMode = apmPlay;
    return true;
}

void TAudioPlayer::Close() {
    std::lock_guard lock(FMutex);
    CloseLocked();
}

void TAudioPlayer::CloseLocked() {
    if (FMode == apmClose) return;
    const TAudioDevice::TStream stream = FStream;
    FStream = 0;
    FMode = apmClose;
    FMinPosition = FMaxPosition = 0;
    if (FDevice && stream != 0) FDevice->Free(stream);
}

void TAudioPlayer::StreamEnded(TAudioDevice::TStream stream) {
    {
        std::lock_guard lock(FMutex);
        if (stream != FStream || FMode == apmClose) return;
        CloseLocked();
    }
    if (OnEndPlaying) OnEndPlaying(*this);
}

TAudioPlayerMode TAudioPlayer::Mode() const {
    std::lock_guard lock(FMutex);
    return FMode;
}

TAudioDevice::TStream TAudioPlayer::StreamHandle() const {
    std::lock_guard lock(FMutex);
    return FStream;
}

void TAudioPlayer::SetRange(std::int64_t minPosition, std::int64_t maxPosition) {
    std::lock_guard lock(FMutex);
    FMinPosition = minPosition;
    FMaxPosition = maxPosition;
}

std::int64_t TAudioPlayer::MinPosition() const {
    std::lock_guard lock(FMutex);
    return FMinPosition;
}

std::int64_t TAudioPlayer::MaxPosition() const {
    std::lock_guard lock(FMutex);
    return FMaxPosition;
}

void TAudioPlayer::PlayFile(const std::wstring& path) {
    if (!IsLoaded()) return;
    SetFileName(path);
    if (Open() != 0) Play();
}
