#pragma once
// The upload worker: one long-lived thread that posts queued screenshots to
// the upload endpoint over libcurl, drives the progress window while the body
// is written and hands every reply (empty after a failure) to OnRedyLink.
//
// The worker never touches windows. Each hand-over is posted to the GUI thread
// and the worker waits for it to run; the wait ends early once Stop() is
// called, so the GUI thread may stop and destroy the worker at any moment
// without a deadlock, and a hand-over still queued then does nothing.
#include "output/ProxyConfig.h"
#include "support/GuiDispatcher.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// The progress window, called on the GUI thread only.
class TProgressView {
public:
    virtual ~TProgressView() = default;
    virtual bool Showing() const = 0;
    virtual void Show() = 0;
    virtual void Close() = 0;
    virtual void SetPosition(std::int32_t percent) = 0;
};

struct TUploadOptions {
    std::wstring EndpointUrl; // ServiceAddress(registry, ProductConstants::UploadEndpoint)
    // Read on the worker before each upload; none: no proxy.
    std::function<TSystemProxyConfig()> ProxySource;
    long ConnectTimeoutSeconds = 15;
    long StallSeconds = 10; // a transfer that moves no byte for this long fails
};

class TThreadSendScreen {
public:
    // volumeSerial: GetSystemVolumeSerial() (may be empty).
    TThreadSendScreen(TGuiDispatcher& gui, TProgressView& progress, std::wstring_view volumeSerial,
                      TUploadOptions options);
    // Stop() and wait for the thread; an upload in progress is abandoned.
    ~TThreadSendScreen();
    TThreadSendScreen(const TThreadSendScreen&) = delete;
    TThreadSendScreen& operator=(const TThreadSendScreen&) = delete;

    // Called on the GUI thread with the reply text after every attempt.
    // Assign before the first SendScreen.
    std::function<void(const std::wstring&)> OnRedyLink;

    // Queues the encoded image (PNG or JPEG file bytes) with ".PNG" or ".JPG";
    // returns at once. GUI thread.
    void SendScreen(std::vector<std::uint8_t> image, std::wstring_view format);
    void SendScreen(std::span<const std::uint8_t> image, std::wstring_view format) {
        SendScreen(std::vector<std::uint8_t>(image.begin(), image.end()), format);
    }
    // Queues an image that the worker encodes itself, so a 4K frame's
    // encoding never stalls the GUI thread; an encoder that throws counts as
    // a failed upload.
    using TImageSource = std::function<std::vector<std::uint8_t>()>;
    void SendScreen(TImageSource encode, std::wstring_view format);

    // The worker ends after the current upload; queued images are dropped and
    // no further hand-over runs.
    void Stop();

    const std::string& SystemHash() const { return FSystemHash; }

private:
    struct TJob {
        std::vector<std::uint8_t> Image;
        TImageSource Encode; // when set, Image is made by it on the worker
        std::string Format;
    };
    struct THandOver; // shared with posted tasks, outlives the worker if need be

    void Execute();
    void DoUpload(TJob& job);
    std::wstring SendBody(const std::string& boundary, const std::string& body);
    bool OnHttpWork(std::int64_t count); // false: abort the transfer
    void RunOnGui(std::function<void()> step);
    void SyncProgress();
    void SyncDone();
    bool Terminated() const;

    TGuiDispatcher& FGui;
    TProgressView& FProgress;
    const TUploadOptions FOptions;
    const std::string FSystemHash;

    mutable std::mutex FMutex;
    std::condition_variable FEvent;
    std::deque<TJob> FQueue;
    bool FTerminated = false;
    std::shared_ptr<THandOver> FHandOver;

    // Worker state (GUI steps read it while the worker waits for them).
    std::wstring FLink;
    std::int64_t FLastProgress = 0;
    std::int64_t FMaxProgress = 0;
    std::int32_t FLastPos = 0; // kept between uploads
    std::string FLastBoundary;

    std::thread FThread; // last: starts once everything above exists
};
