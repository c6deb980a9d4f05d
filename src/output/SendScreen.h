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

#include <chrono>
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
    // A request that moves no byte for this long fails, counted from its
    // start: connect, TLS, the body and the wait for the first reply byte.
    long StallSeconds = 10;
    // The whole upload, redirects included (UploadTimeLimit).
    long TimeLimitBaseSeconds = 30;
    long MinBytesPerSecond = 16 * 1024;
    // Uploads not yet answered (the one in flight and those waiting).
    std::size_t MaxPending = 8;
    // Tests: trust only these roots (PEM file); empty: the system's.
    std::string CaFile;
};

// The time allowed for one upload of bodyBytes: the base for connecting,
// redirects and the server's work, plus the body at the slowest rate still
// served.
std::chrono::milliseconds UploadTimeLimit(const TUploadOptions& options, std::uint64_t bodyBytes);

// The only schemes a redirect may lead to: the endpoint's own ("https" or
// "http"), so an HTTPS upload never goes on in plain text and a re-sent body
// (307, 308) stays on the scheme it was meant for. Empty for any other
// scheme: no request is made.
std::string RedirectProtocolsFor(std::string_view endpointUrl);

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
    // returns at once. GUI thread. False, with nothing queued and no reply to
    // come, when MaxPending uploads are not yet answered (or after Stop): each
    // holds a whole image, so a dead server must not gather them for ever.
    bool SendScreen(std::vector<std::uint8_t> image, std::wstring_view format);
    bool SendScreen(std::span<const std::uint8_t> image, std::wstring_view format) {
        return SendScreen(std::vector<std::uint8_t>(image.begin(), image.end()), format);
    }
    // Queues an image that the worker encodes itself, so a 4K frame's
    // encoding never stalls the GUI thread; an encoder that throws counts as
    // a failed upload.
    using TImageSource = std::function<std::vector<std::uint8_t>()>;
    bool SendScreen(TImageSource encode, std::wstring_view format);

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

    bool Enqueue(TJob job);
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
    bool FBusy = false; // a job taken and its reply not yet handed over
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
