// The update check against loopback servers (cpp-httplib, native only).
#if __has_include(<httplib.h>)
#include "support/Utilities.h"
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

    TMemoryRegistry Reg;
    std::vector<std::wstring> Dialogs, Opened;
    bool AnswerOk = true;

private:
    std::wstring FUrl;
};

struct TLoopback {
    httplib::Server Server;
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
        return Utf8ToWide("http://127.0.0.1:" + std::to_string(Port) + "/update.txt");
    }
};

TEST(UpdateChecker, RepliesFromTheService) {
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
            TUpdateChecker checker(host, gui);
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
    TUpdateChecker checker(host, gui);
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
    TUpdateChecker checker(host, gui);
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
        TUpdateChecker checker(host, gui);
        checker.StartUpdateCheck();
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_LT(TClock::now() - start, 2s);
    EXPECT_FALSE(gui.RunOne(100ms)); // nothing handed over after the end
}
} // namespace
#endif
