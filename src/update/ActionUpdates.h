#pragma once
// The background update check: at most one download per run, at most one
// automatic check in five days. The worker only downloads and decodes; the
// registry and the new-version dialog are touched on the GUI thread.
#include "output/ProxyConfig.h"
#include "settings/Registry.h"
#include "settings/SettingsUnit.h"
#include "support/DebugTrace.h"
#include "support/GuiDispatcher.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

inline constexpr std::wstring_view CheckUpdatesValue = L"CheckUpdates";
inline constexpr int CheckUpdatesEveryDays = 5;

// The reply's bytes, one character each: the two-byte mark is skipped, the
// rest read as UTF-16 LE pairs; an odd last byte is dropped.
std::wstring DecodeUpdateText(std::string_view bytes);

// A decimal number with a dot as its point, whatever the locale; nullopt
// unless the text, blanks around it aside, is one.
std::optional<float> ReadDotNumber(std::wstring_view text);

// Lines split at CR LF, CR or LF (a final line break opens no line).
std::vector<std::wstring> SplitLines(std::wstring_view text);

// Line 1 of the update file when it announces a version above own.
std::optional<std::wstring> NewerVersionLine(std::wstring_view text, std::wstring_view own);

// The last successful check is CheckUpdatesEveryDays or more away from now
// (either way); a missing or unreadable value counts as due.
bool UpdateCheckDue(TRegistry& registry, TDate now);

struct THttpGetOptions {
    long ConnectTimeoutSeconds = 15;
    long StallSeconds = 15; // no byte for this long ends the request
    long TotalSeconds = 60;
    std::function<TSystemProxyConfig()> ProxySource;
    std::string CaFile; // tests: trust only these roots (PEM file); empty: the system's
};

// The update file and the download page it leads to are trusted only over
// HTTPS: over plain HTTP anyone on the way could announce a version and
// send the user to a page of theirs.
bool IsHttpsUrl(std::wstring_view url);

// HTTP/1.1 GET of url, redirects not followed (their body is the reply);
// raises std::runtime_error on a transport failure, a status outside
// 200..399 or a body above 64 KiB. cancel (may be null) aborts at once.
std::string HttpGet(const std::string& url, const THttpGetOptions& options,
                    const std::atomic<bool>* cancel);

// What the check needs from the program (GUI thread only).
class TUpdateHost {
public:
    virtual ~TUpdateHost() = default;
    virtual TRegistry& Registry() = 0;
    virtual TDate Now() = 0;
    virtual std::wstring UpdateFileUrl() = 0;
    virtual std::wstring DownloadPageUrl() = 0;
    // Shows the new-version dialog modally; true when it ended with OK.
    virtual bool ShowNewVersion(const std::wstring& versionCaption) = 0;
    virtual void OpenInShell(const std::wstring& address) = 0;
    // A diagnostic line; the program's goes to DebugTrace.
    virtual void Trace(const std::wstring& line) { DebugTrace(line); }
};

// The one download of a run: the thread body, then ShowResult handed to the
// GUI thread. The owner cancels and joins it.
class THttpThread {
public:
    std::wstring Text;
    std::wstring Err;
};

class TUpdateChecker {
public:
    TUpdateChecker(TUpdateHost& host, TGuiDispatcher& gui, THttpGetOptions options = {});
    // Abandons a download in progress; a result still queued does nothing.
    ~TUpdateChecker();
    TUpdateChecker(const TUpdateChecker&) = delete;
    TUpdateChecker& operator=(const TUpdateChecker&) = delete;

    void CheckUpdatesIfDue();
    // Starts the run's one check; later calls do nothing.
    void StartUpdateCheck();
    bool MayStart() const { return FMayStart; }

    // GUI thread: the dialog, the registry stamp and the download page.
    void ShowResult(const THttpThread& result);

private:
    struct TShared {
        std::atomic<bool> Cancel = false;
        bool Alive = true; // GUI thread only
    };

    TUpdateHost& FHost;
    TGuiDispatcher& FGui;
    const THttpGetOptions FOptions;
    bool FMayStart = true;
    std::shared_ptr<TShared> FShared = std::make_shared<TShared>();
    std::thread FThread;
};
