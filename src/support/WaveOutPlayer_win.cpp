#include "support/WaveOutPlayer_win.h"

#include "support/WaveFile.h"
#include "win32/Handles_win.h"

#include <mmsystem.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

struct TWaveOutDevice::TOutput {
    HWAVEOUT Out = nullptr;
    WAVEHDR Header{};
    std::vector<std::uint8_t> Samples;
    unique_handle Done{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::atomic<bool> Stopped = false;
    std::atomic<bool> Finished = false;
    bool Prepared = false;
    std::thread Waiter;

    ~TOutput() {
        Stopped = true;
        if (Out) ::waveOutReset(Out);
        if (Waiter.joinable()) Waiter.join();
        if (Out) {
            if (Prepared) ::waveOutUnprepareHeader(Out, &Header, sizeof(Header));
            ::waveOutClose(Out);
        }
    }
};

TWaveOutDevice::~TWaveOutDevice() {
    std::vector<std::unique_ptr<TOutput>> all;
    {
        std::lock_guard lock(FMutex);
        for (auto& [id, output] : FOutputs)
            all.push_back(std::move(output));
        FOutputs.clear();
        for (auto& output : FRetired)
            all.push_back(std::move(output));
        FRetired.clear();
    }
    // Outside the lock: a waiter may still be reporting its end through Free.
    all.clear();
}

TWaveOutDevice::TWaveOutDevice() : FAvailable(std::make_shared<std::atomic<bool>>(false)) {
    // Detached: a probe still running at exit must not hold the process.
    std::thread([available = FAvailable] { *available = ::waveOutGetNumDevs() > 0; }).detach();
}

bool TWaveOutDevice::Available() const {
    return *FAvailable;
}

void TWaveOutDevice::ReapFinished() {
    // Only outputs whose waiter is done: a waiter may be blocked in its
    // onEnd behind a lock the caller holds.
    std::erase_if(FRetired, [](const std::unique_ptr<TOutput>& o) {
        return o->Finished || !o->Waiter.joinable();
    });
}

TAudioDevice::TStream TWaveOutDevice::OpenStream(const std::wstring& fileName) {
    std::vector<std::uint8_t> bytes;
    {
        std::ifstream in(std::filesystem::path(fileName), std::ios::binary);
        if (!in) return 0;
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    auto wave = ParseWave(bytes);
    if (!wave) return 0;
    auto output = std::make_unique<TOutput>();
    if (!output->Done) return 0;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = wave->Channels;
    format.nSamplesPerSec = wave->SamplesPerSec;
    format.wBitsPerSample = wave->BitsPerSample;
    format.nBlockAlign = wave->BlockAlign;
    format.nAvgBytesPerSec = wave->SamplesPerSec * wave->BlockAlign;
    if (::waveOutOpen(&output->Out, WAVE_MAPPER, &format,
                      reinterpret_cast<DWORD_PTR>(output->Done.get()), 0,
                      CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        output->Out = nullptr;
        return 0;
    }
    output->Samples = std::move(wave->Samples);
    output->Header.lpData = reinterpret_cast<LPSTR>(output->Samples.data());
    output->Header.dwBufferLength = static_cast<DWORD>(output->Samples.size());
    if (::waveOutPrepareHeader(output->Out, &output->Header, sizeof(output->Header)) !=
        MMSYSERR_NOERROR)
        return 0;
    output->Prepared = true;
    std::lock_guard lock(FMutex);
    ReapFinished();
    const TStream id = FNext++;
    if (FNext == 0) FNext = 1;
    FOutputs[id] = std::move(output);
    return id;
}

bool TWaveOutDevice::Play(TStream stream, std::function<void()> onEnd) {
    std::lock_guard lock(FMutex);
    const auto it = FOutputs.find(stream);
    if (it == FOutputs.end()) return false;
    TOutput& o = *it->second;
    if (o.Waiter.joinable()) return false;
    if (::waveOutWrite(o.Out, &o.Header, sizeof(o.Header)) != MMSYSERR_NOERROR) return false;
    o.Waiter = std::thread([&o, onEnd = std::move(onEnd)] {
        while (!(o.Header.dwFlags & WHDR_DONE) && !o.Stopped)
            ::WaitForSingleObject(o.Done.get(), 250);
        if (!o.Stopped && onEnd) onEnd();
        o.Finished = true;
    });
    return true;
}

void TWaveOutDevice::Free(TStream stream) {
    std::lock_guard lock(FMutex);
    const auto it = FOutputs.find(stream);
    if (it == FOutputs.end()) return;
    auto output = std::move(it->second);
    FOutputs.erase(it);
    output->Stopped = true;
    // Cuts the sound off now; the output is closed once its waiter is done.
    ::waveOutReset(output->Out);
    ::SetEvent(output->Done.get());
    FRetired.push_back(std::move(output));
}

std::unique_ptr<TAudioPlayer> CreateWaveOutPlayer() {
    return std::make_unique<TAudioPlayer>(std::make_unique<TWaveOutDevice>());
}
