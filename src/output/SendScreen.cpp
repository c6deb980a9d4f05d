#include "output/SendScreen.h"

#include "output/SaveRules.h"
#include "output/UploadWire.h"
#include "support/CurlEasy.h"
#include "support/Utilities.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <curl/curl.h>
#include <limits>
#include <stdexcept>

namespace {
constexpr std::string_view AcceptValue =
    "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
constexpr const char* UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
constexpr long MaxRedirects = 15;
using TClock = std::chrono::steady_clock;
// The reply is a short JSON text; a server streaming without end must not
// exhaust memory.
constexpr std::size_t MaxReplyBytes = 1 << 20;

struct TReply {
    std::string Bytes;
    bool TooLong = false;
};

size_t WriteReply(char* data, size_t size, size_t count, void* user) {
    auto& reply = *static_cast<TReply*>(user);
    const size_t n = size * count;
    if (reply.Bytes.size() + n > MaxReplyBytes) {
        reply.TooLong = true;
        return 0;
    }
    reply.Bytes.append(data, n);
    return n;
}
} // namespace

std::chrono::milliseconds UploadTimeLimit(const TUploadOptions& options, std::uint64_t bodyBytes) {
    const std::uint64_t rate = std::uint64_t(std::max(options.MinBytesPerSecond, 1L));
    const std::uint64_t base = std::uint64_t(std::max(options.TimeLimitBaseSeconds, 0L)) * 1000;
    const std::uint64_t body =
        bodyBytes / rate * 1000 + (bodyBytes % rate * 1000 + rate - 1) / rate;
    // libcurl takes a long, 32 bits on Windows: about 24 days at most.
    const std::uint64_t most = std::uint64_t(std::numeric_limits<std::int32_t>::max());
    return std::chrono::milliseconds(std::min(base + body, most));
}

std::string RedirectProtocolsFor(std::string_view endpointUrl) {
    const auto schemeIs = [&](std::string_view scheme) {
        if (endpointUrl.size() < scheme.size() + 3) return false;
        for (std::size_t i = 0; i < scheme.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(endpointUrl[i])) != scheme[i]) return false;
        return endpointUrl.substr(scheme.size(), 3) == "://";
    };
    if (schemeIs("https")) return "https";
    if (schemeIs("http")) return "http";
    return {};
}

struct TThreadSendScreen::THandOver {
    std::mutex Mutex;
    std::condition_variable Finished;
    bool Cancelled = false;
    std::uint64_t Issued = 0, Done = 0;
};

TThreadSendScreen::TThreadSendScreen(TGuiDispatcher& gui, TProgressView& progress,
                                     std::wstring_view volumeSerial, TUploadOptions options)
    : FGui(gui), FProgress(progress), FOptions(std::move(options)),
      FSystemHash(WideToUtf8(Md5Hex(volumeSerial))), FHandOver(std::make_shared<THandOver>()) {
    InitCurlOnce(); // not thread-safe in every libcurl: done here, before the worker
    FThread = std::thread([this] { Execute(); });
}

TThreadSendScreen::~TThreadSendScreen() {
    Stop();
    if (FThread.joinable()) FThread.join();
}

bool TThreadSendScreen::SendScreen(std::vector<std::uint8_t> image, std::wstring_view format) {
    return Enqueue({std::move(image), {}, WideToUtf8(format)});
}

bool TThreadSendScreen::SendScreen(TImageSource encode, std::wstring_view format) {
    return Enqueue({{}, std::move(encode), WideToUtf8(format)});
}

bool TThreadSendScreen::Enqueue(TJob job) {
    {
        std::lock_guard lock(FMutex);
        if (FTerminated || FQueue.size() + (FBusy ? 1 : 0) >= FOptions.MaxPending) return false;
        FQueue.push_back(std::move(job));
    }
    FEvent.notify_one();
    return true;
}

void TThreadSendScreen::Stop() {
    {
        std::lock_guard lock(FMutex);
        FTerminated = true;
        FQueue.clear();
    }
    {
        std::lock_guard lock(FHandOver->Mutex);
        FHandOver->Cancelled = true;
    }
    FEvent.notify_all();
    FHandOver->Finished.notify_all();
}

bool TThreadSendScreen::Terminated() const {
    std::lock_guard lock(FMutex);
    return FTerminated;
}

void TThreadSendScreen::Execute() {
    for (;;) {
        TJob job;
        {
            std::unique_lock lock(FMutex);
            FEvent.wait(lock, [this] { return FTerminated || !FQueue.empty(); });
            if (FTerminated) return;
            job = std::move(FQueue.front());
            FQueue.pop_front();
            FBusy = true;
        }
        try {
            DoUpload(job);
        } catch (const std::exception&) {
            // A failing hand-over (the dispatcher or a GUI step raising) must
            // not end the process from this thread; the next job still runs.
        }
        std::lock_guard lock(FMutex);
        FBusy = false; // SyncDone cleared it already, unless it never ran
    }
}

void TThreadSendScreen::RunOnGui(std::function<void()> step) {
    const auto state = FHandOver;
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(state->Mutex);
        if (state->Cancelled) return;
        ticket = ++state->Issued;
    }
    FGui.Post([state, ticket, step = std::move(step)] {
        struct TMarkDone {
            THandOver& State;
            std::uint64_t Ticket;
            ~TMarkDone() {
                {
                    std::lock_guard lock(State.Mutex);
                    State.Done = std::max(State.Done, Ticket);
                }
                State.Finished.notify_all();
            }
        } markDone{*state, ticket};
        {
            // Stop() runs on the GUI thread too: once it has, the worker may
            // be gone and the step must not run.
            std::lock_guard lock(state->Mutex);
            if (state->Cancelled) return;
        }
        step();
    });
    std::unique_lock lock(state->Mutex);
    state->Finished.wait(lock, [&] { return state->Done >= ticket || state->Cancelled; });
}

void TThreadSendScreen::DoUpload(TJob& job) {
    FLastProgress = 0;
    FMaxProgress = 0;
    FLink.clear();
    try {
        if (job.Encode) job.Image = job.Encode();
        FMaxProgress = static_cast<std::int64_t>(job.Image.size());
        const auto fileName = UploadFileName(RandomUploadNumber());
        // Two uploads within one millisecond must not share a boundary, and
        // the image must not hold it.
        auto boundary = MultipartBoundary(LocalTimeNow());
        while (boundary == FLastBoundary || BoundaryOccursIn(job.Image, boundary)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            boundary = MultipartBoundary(LocalTimeNow());
        }
        FLastBoundary = boundary;
        const auto body = BuildUploadBody({boundary, FSystemHash, job.Format, fileName, job.Image});
        RunOnGui([this] { SyncProgress(); });
        FLink = SendBody(boundary, body);
    } catch (const std::exception&) {
        FLink.clear();
    }
    RunOnGui([this] { SyncDone(); });
}

std::wstring TThreadSendScreen::SendBody(const std::string& boundary, const std::string& body) {
    const TCurl curl(curl_easy_init());
    if (!curl) throw std::runtime_error("libcurl handle not created");
    CURL* c = curl.get();
    const std::string url = WideToUtf8(FOptions.EndpointUrl);
    const std::string protocols = RedirectProtocolsFor(url);
    if (protocols.empty()) throw std::runtime_error("the endpoint is neither http nor https");
    SetCurlOption(c, CURLOPT_URL, url.c_str());
    SetCurlOption(c, CURLOPT_PROTOCOLS_STR, protocols.c_str());
    SetCurlOption(c, CURLOPT_REDIR_PROTOCOLS_STR, protocols.c_str());
    SetCurlOption(c, CURLOPT_NOSIGNAL, 1L);
    SetCurlOption(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    SetCurlOption(c, CURLOPT_POSTFIELDS, body.data());
    SetCurlOption(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));

    TCurlList headers;
    AppendCurlHeader(headers, "Content-Type: " + UploadContentType(boundary));
    AppendCurlHeader(headers, "Connection: keep-alive");
    AppendCurlHeader(headers, "Accept: " + std::string(AcceptValue));
    AppendCurlHeader(headers, "Expect:");
    SetCurlOption(c, CURLOPT_HTTPHEADER, headers.get());
    SetCurlOption(c, CURLOPT_USERAGENT, UserAgent);

    SetCurlOption(c, CURLOPT_FOLLOWLOCATION, 1L);
    SetCurlOption(c, CURLOPT_MAXREDIRS, MaxRedirects);
    // A 301, 302 or 303 turns the POST into a GET without the body; only a
    // 307 or 308 sends it again, and only on the endpoint's scheme (above).
    SetCurlOption(c, CURLOPT_POSTREDIR, 0L);
    const long stallMs = FOptions.StallSeconds * 1000;
    SetCurlOption(c, CURLOPT_CONNECTTIMEOUT_MS, stallMs);
    SetCurlOption(c, CURLOPT_TIMEOUT_MS,
                  static_cast<long>(UploadTimeLimit(FOptions, body.size()).count()));

    ApplyCurlTlsPolicy(c, FOptions.CaFile);
    if (FOptions.ProxySource) {
        const auto config = FOptions.ProxySource();
        ApplyCurlProxy(c, &config, url);
    } else {
        ApplyCurlProxy(c, nullptr, url);
    }

    SetCurlOption(c, CURLOPT_NOPROGRESS, 0L);
    // Stalls are timed here rather than with curl's low-speed limit, whose
    // moving average lets a transfer idle for several seconds more, and
    // which starts only once the request is sent.
    struct TWatch {
        TThreadSendScreen* Self;
        std::chrono::milliseconds Stall;
        curl_off_t Moved = 0;
        TClock::time_point LastMove;
    } watch{this, std::chrono::milliseconds(stallMs), 0, TClock::now()};
    SetCurlOption(c, CURLOPT_XFERINFODATA, &watch);
    curl_xferinfo_callback progress = [](void* user, curl_off_t, curl_off_t dlnow, curl_off_t,
                                         curl_off_t ulnow) -> int {
        auto& w = *static_cast<TWatch*>(user);
        const auto now = TClock::now();
        // Timing starts with the request: connecting and the wait for the
        // first reply byte count (the connect time-out also bounds the
        // connection and its TLS handshake). A redirect's request restarts
        // the counts, and with them the timing.
        if (const curl_off_t moved = ulnow + dlnow; moved != w.Moved) {
            w.Moved = moved;
            w.LastMove = now;
        } else if (now - w.LastMove >= w.Stall) {
            return 1;
        }
        return w.Self->OnHttpWork(ulnow) ? 0 : 1;
    };
    SetCurlOption(c, CURLOPT_XFERINFOFUNCTION, progress);

    TReply reply;
    SetCurlOption(c, CURLOPT_WRITEDATA, &reply);
    curl_write_callback write = WriteReply;
    SetCurlOption(c, CURLOPT_WRITEFUNCTION, write);

    if (curl_easy_perform(c) != CURLE_OK || reply.TooLong) return {};
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) return {};
    const char* contentType = nullptr;
    curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &contentType);
    return DecodeReplyBody(reply.Bytes, contentType ? contentType : "");
}

bool TThreadSendScreen::OnHttpWork(std::int64_t count) {
    if (Terminated()) return false;
    // Nothing written yet (or a redirect that drops the body): not progress.
    if (count <= 0) return true;
    FLastProgress = count;
    const std::int64_t percent =
        FMaxProgress > 0 ? (count * 100 + FMaxProgress / 2) / FMaxProgress : 100;
    const auto pos = static_cast<std::int32_t>(
        std::min<std::int64_t>(percent, std::numeric_limits<std::int32_t>::max()));
    if (pos != FLastPos) {
        FLastPos = pos;
        RunOnGui([this] { SyncProgress(); });
    }
    return true;
}

void TThreadSendScreen::SyncProgress() {
    if (FLastPos < 0 || FLastPos >= 100) {
        if (FProgress.Showing()) FProgress.Close();
        return;
    }
    if (!FProgress.Showing()) FProgress.Show();
    FProgress.SetPosition(FLastPos);
}

void TThreadSendScreen::SyncDone() {
    {
        // The reply is the panel's now: the next SendScreen may take its place.
        std::lock_guard lock(FMutex);
        FBusy = false;
    }
    if (FProgress.Showing()) FProgress.Close();
    if (OnRedyLink) OnRedyLink(FLink);
}
