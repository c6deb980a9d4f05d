// The update check against loopback servers (cpp-httplib, native only),
// over HTTPS with a certificate the checker is told to trust.
#if __has_include(<httplib.h>) && defined(CPPHTTPLIB_OPENSSL_SUPPORT)
#include "support/Utilities.h"
#include "unit/fakes/LoopbackCertificate.h"
#include "unit/fakes/MemoryRegistry.h"
#include "unit/fakes/Utf16File.h"
#include "update/ActionUpdates.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

namespace {
constexpr TDate Now = 46082.5;

// The test thread plays the GUI thread: posted tasks wait until it runs them.
class TQueueGui final : public TGuiDispatcher {
public:
    void Post(std::function<void()> task) override {
        std::lock_guard lock(FMutex);
        FTasks.push_back(std::move(task));
        FArrived.notify_all();
    }
    // Runs the next task; false after the timeout. longest: the longest task.
    bool RunOne(std::chrono::milliseconds timeout, TClock::duration* longest = nullptr) {
        std::function<void()> task;
        {
            std::unique_lock lock(FMutex);
            if (!FArrived.wait_for(lock, timeout, [this] { return !FTasks.empty(); })) return false;
            task = std::move(FTasks.front());
            FTasks.pop_front();
        }
        const auto start = TClock::now();
        task();
        if (longest) *longest = std::max(*longest, TClock::now() - start);
        return true;
    }

private:
    std::mutex FMutex;
    std::condition_variable FArrived;
    std::deque<std::function<void()>> FTasks;
};

class TFakeUpdateHost final : public TUpdateHost {
public:
    explicit TFakeUpdateHost(std::wstring url) : FUrl(std::move(url)) {}
    TRegistry& Registry() override { return Reg; }
    TDate Now() override { return ::Now; }
    std::wstring UpdateFileUrl() override { return FUrl; }
    std::wstring DownloadPageUrl() override { return L"https://example.test/download.php"; }
    bool ShowNewVersion(const std::wstring& caption) override {
        Dialogs.push_back(caption);
        return AnswerOk;
    }
    void OpenInShell(const std::wstring& address) override { Opened.push_back(address); }
    void Trace(const std::wstring& line) override { Traced.push_back(line); }

    TMemoryRegistry Reg;
    std::vector<std::wstring> Dialogs, Opened, Traced;
    bool AnswerOk = true;

private:
    std::wstring FUrl;
};

const TLoopbackCertificate& Certificate() {
    static const TLoopbackCertificate certificate;
    return certificate;
}

// The checker as the program makes it, trusting the loopback certificate.
THttpGetOptions Trusting() {
    THttpGetOptions options;
    options.CaFile = Certificate().Cert;
    return options;
}

struct TLoopback {
    httplib::SSLServer Server{Certificate().Cert.c_str(), Certificate().Key.c_str()};
    int Port = 0;
    std::thread Thread;
    std::atomic<int> Requests = 0;
    explicit TLoopback(std::function<void(httplib::Response&)> reply) {
        Server.Get("/update.txt", [this, reply](const httplib::Request&, httplib::Response& res) {
            ++Requests;
            reply(res);
        });
        Port = Server.bind_to_any_port("127.0.0.1");
        Thread = std::thread([this] { Server.listen_after_bind(); });
    }
    ~TLoopback() {
        Server.stop();
        Thread.join();
    }
    std::wstring Url() const {
        return Utf8ToWide("https://127.0.0.1:" + std::to_string(Port) + "/update.txt");
    }
};

TEST(UpdateChecker, RepliesFromTheService) {
    ASSERT_TRUE(Certificate().Made) << "no openssl command";
    const struct {
        const char* Name;
        int Status;
        std::string Body;
        bool Stamped;
        std::vector<std::wstring> Dialogs;
    } cases[] = {
        {"newer",
         200,
         Utf16File(L"2.16\r\nhttps://x/download.php\r\nKadrix 2.16\r\n"),
         true,
         {L"Версия: 2.16"}},
        {"same", 200, Utf16File(L"2.15\r\na\r\nb\r\n"), true, {}},
        {"two lines", 200, Utf16File(L"2.16\r\na"), true, {}},
        {"redirect, empty", 302, "", false, {}},
        {"server error", 500, Utf16File(L"2.16\r\na\r\nb\r\n"), false, {}},
    };
    for (const auto& c : cases) {
        TLoopback server([&](httplib::Response& res) {
            res.status = c.Status;
            if (c.Status == 302) res.set_header("Location", "/elsewhere");
            res.set_content(c.Body, "text/plain; charset=utf-8");
        });
        TFakeUpdateHost host(server.Url());
        TQueueGui gui;
        {
            TUpdateChecker checker(host, gui, Trusting());
            checker.CheckUpdatesIfDue();
            ASSERT_TRUE(gui.RunOne(10s)) << c.Name;
        }
        EXPECT_EQ(host.Reg.Get(SettingsKey, CheckUpdatesValue).has_value(), c.Stamped) << c.Name;
        EXPECT_EQ(host.Dialogs, c.Dialogs) << c.Name;
        EXPECT_EQ(host.Opened.size(), c.Dialogs.size()) << c.Name;
    }
}

TEST(UpdateChecker, OneCheckPerRunWhateverStartsIt) {
    TLoopback server([](httplib::Response& res) {
        res.set_content(Utf16File(L"2.15\r\na\r\nb"), "text/plain");
    });
    TFakeUpdateHost host(server.Url());
    TQueueGui gui;
    TUpdateChecker checker(host, gui, Trusting());
    checker.CheckUpdatesIfDue();
    ASSERT_TRUE(gui.RunOne(10s));
    checker.StartUpdateCheck(); // the hidden menu item after the automatic check
    EXPECT_FALSE(checker.MayStart());
    EXPECT_FALSE(gui.RunOne(300ms));
    EXPECT_EQ(server.Requests, 1);
}

TEST(UpdateChecker, ASlowServerNeverHoldsTheGuiThread) {
    TLoopback server([](httplib::Response& res) {
        std::this_thread::sleep_for(5s);
        res.set_content(Utf16File(L"2.16\r\na\r\nb"), "text/plain");
    });
    TFakeUpdateHost host(server.Url());
    host.AnswerOk = false;
    TQueueGui gui;
    TUpdateChecker checker(host, gui, Trusting());
    TClock::duration longest{};
    auto start = TClock::now();
    checker.CheckUpdatesIfDue();
    longest = TClock::now() - start;
    const auto begun = TClock::now();
    ASSERT_TRUE(gui.RunOne(20s, &longest));
    EXPECT_GE(TClock::now() - begun, 4s);
    EXPECT_EQ(host.Dialogs.size(), 1u);
    EXPECT_TRUE(host.Opened.empty()); // cancelled: no download page
    std::printf("longest GUI-thread step during a 5 s check: %.3f ms\n",
                std::chrono::duration<double, std::milli>(longest).count());
    EXPECT_LT(longest, 16ms);
}

TEST(UpdateChecker, ADeadServerIsAbandonedAtExit) {
    TLoopback server([](httplib::Response& res) {
        std::this_thread::sleep_for(3s);
        res.set_content("", "text/plain");
    });
    TFakeUpdateHost host(server.Url());
    TQueueGui gui;
    const auto start = TClock::now();
    {
        TUpdateChecker checker(host, gui, Trusting());
        checker.StartUpdateCheck();
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_LT(TClock::now() - start, 2s);
    EXPECT_FALSE(gui.RunOne(100ms)); // nothing handed over after the end
}
// Over plain HTTP anyone on the way could announce a version and pick the
// download page: no request, one trace line, and the run's check is used up.
TEST(UpdateChecker, OnlyOverHttps) {
    TLoopback server([](httplib::Response& res) {
        res.set_content(Utf16File(L"2.16\r\na\r\nb"), "text/plain");
    });
    httplib::Server plain;
    std::atomic<int> plainRequests = 0;
    plain.Get("/update.txt", [&](const httplib::Request&, httplib::Response& res) {
        ++plainRequests;
        res.set_content(Utf16File(L"2.16\r\na\r\nb"), "text/plain");
    });
    const int plainPort = plain.bind_to_any_port("127.0.0.1");
    std::thread plainThread([&] { plain.listen_after_bind(); });
    const std::wstring plainUrl =
        L"http://127.0.0.1:" + std::to_wstring(plainPort) + L"/update.txt";
    const struct {
        std::wstring Url;
        bool Checked;
    } cases[] = {
        {server.Url(), true},
        {L"HTTPS" + server.Url().substr(5), true},
        {plainUrl, false},
        {L"ftp://127.0.0.1/update.txt", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.Url));
        TFakeUpdateHost host(c.Url);
        host.AnswerOk = false;
        TQueueGui gui;
        TUpdateChecker checker(host, gui, Trusting());
        checker.StartUpdateCheck();
        EXPECT_FALSE(checker.MayStart());
        EXPECT_EQ(gui.RunOne(c.Checked ? 10s : 300ms), c.Checked);
        EXPECT_EQ(host.Dialogs.size(), c.Checked ? 1u : 0u);
        EXPECT_EQ(host.Traced, c.Checked ? std::vector<std::wstring>{}
                                         : std::vector<std::wstring>{
                                               L"Update check skipped: the service address is "
                                               L"not HTTPS: " + c.Url});
    }
    EXPECT_EQ(plainRequests, 0);
    EXPECT_EQ(server.Requests, 2);
    plain.stop();
    plainThread.join();
}
} // namespace
#endif
