#pragma once
// Plays one sound file at a time, asynchronously, on the platform's audio
// output: opening cuts off the sound still playing, the end of playback
// closes the stream and clears its range, and without an output (or with an
// unreadable file) the player is silent. The end of a stream is reported on
// the device's own thread; a lock serialises it with the GUI thread's calls,
// and an end that belongs to a stream already cut off is ignored.
#include "support/SoundPlayer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

// The platform's audio output (Windows: waveOut on the default device).
class TAudioDevice {
public:
    using TStream = std::uint32_t; // 0: none

    virtual ~TAudioDevice() = default;
    // An output device and everything the player needs are there.
    virtual bool Available() const = 0;
    // 0 when the file is missing, unreadable or not playable.
    virtual TStream OpenStream(const std::wstring& fileName) = 0;
    // Starts playback; onEnd runs once, on the device's thread, when it
    // reaches the end. It may still run after Free; the device's destructor
    // waits for every onEnd.
    virtual bool Play(TStream stream, std::function<void()> onEnd) = 0;
    // Stops and releases the stream; safe from onEnd.
    virtual void Free(TStream stream) = 0;
};

class EAudioUnavailable : public std::runtime_error {
public:
    EAudioUnavailable() : std::runtime_error("Не найден компонент для воспроизведения аудио.") {}
};

enum TAudioPlayerMode { apmOpen, apmPlay, apmPause, apmClose };

class TAudioPlayer final : public TSoundPlayer {
public:
    // A null device means no audio output: silence.
    explicit TAudioPlayer(std::unique_ptr<TAudioDevice> device);
    ~TAudioPlayer() override;
    TAudioPlayer(const TAudioPlayer&) = delete;
    TAudioPlayer& operator=(const TAudioPlayer&) = delete;

    bool IsLoaded() const { return FDevice && FDevice->Available(); }
    void SetFileName(std::wstring name);
    // Raise EAudioUnavailable without an output device.
    TAudioDevice::TStream Open();
    bool Play();
    void Close();

    TAudioPlayerMode Mode() const;
    TAudioDevice::TStream StreamHandle() const;
    // Playback range in milliseconds; cleared by Close.
    void SetRange(std::int64_t minPosition, std::int64_t maxPosition);
    std::int64_t MinPosition() const;
    std::int64_t MaxPosition() const;

    // Called after playback reached its end, on the device's thread.
    std::function<void(TAudioPlayer&)> OnEndPlaying;

    // TSoundPlayer: open and play; every failure is silence.
    void PlayFile(const std::wstring& path) override;

private:
    void CheckLoaded() const;
    void CloseLocked();
    void StreamEnded(TAudioDevice::TStream stream);

    std::unique_ptr<TAudioDevice> FDevice;
    mutable std::recursive_mutex FMutex;
    std::wstring FFileName;
    TAudioDevice::TStream FStream = 0;
    TAudioPlayerMode FMode = apmClose;
    std::int64_t FMinPosition = 0, FMaxPosition = 0;
};
