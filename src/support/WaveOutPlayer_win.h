#pragma once
// The audio output of the player: Windows' own waveOut on the default
// device, one output per stream, the end of playback signalled through an
// event that a small waiter thread watches (the driver's callback may not
// close the device itself).
#include "support/AudioPlayer.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class TWaveOutDevice final : public TAudioDevice {
public:
    // Asks the system for an output device once, on a thread of its own: the
    // first query can take from milliseconds to seconds (driver probing), and
    // the GUI thread must never wait for it. Silent until the answer is in.
    TWaveOutDevice();
    ~TWaveOutDevice() override;

    bool Available() const override;
    TStream OpenStream(const std::wstring& fileName) override;
    bool Play(TStream stream, std::function<void()> onEnd) override;
    void Free(TStream stream) override;

private:
    struct TOutput;
    void ReapFinished();

    std::mutex FMutex;
    std::map<TStream, std::unique_ptr<TOutput>> FOutputs;
    std::vector<std::unique_ptr<TOutput>> FRetired;
    TStream FNext = 1;
    std::shared_ptr<std::atomic<bool>> FAvailable;
};

// The shutter player over waveOut.
std::unique_ptr<TAudioPlayer> CreateWaveOutPlayer();
