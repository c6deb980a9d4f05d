// The update check against a loopback server, and the companion windows as a
// user meets them: the welcome window after installing, the offer after the
// first copy, one about window however often it is asked for.
#include <winsock2.h> // before <windows.h>

#include "KadrixProcess.h"
#include "ScreenPattern.h"
#include "TestTls.h"
#include "unit/fakes/Utf16File.h"

#include <atomic>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <thread>

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

namespace {
// An HTTPS server on loopback answering every request with the update file,
// after an optional delay; its certificate's authority is trusted in the
// prefix (the check runs only over HTTPS).
class TUpdateServer {
public:
    TUpdateServer(std::string body, std::chrono::milliseconds delay)
        : FBody(std::move(body)), FTls(FPki.Server("IP:127.0.0.1", -60, TTestPki::Day)) {
        Trusted = TrustInRootStore(FPki.CaDer());
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        FListen = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        ::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        int len = sizeof(addr);
        ::getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len);
        FPort = ::ntohs(addr.sin_port);
        ::listen(FListen, 4);
        FThread = std::thread([this, delay] {
            for (;;) {
                SOCKET s = ::accept(FListen, nullptr, nullptr);
                if (s == INVALID_SOCKET) return;
                SSL* tls = SSL_new(FTls.get());
                SSL_set_fd(tls, int(s));
                char buf[4096];
                if (SSL_accept(tls) == 1 && SSL_read(tls, buf, sizeof(buf)) > 0) {
                    ++Requests;
                    std::this_thread::sleep_for(delay);
                    const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                                              "Connection: close\r\nContent-Length: " +
                                              std::to_string(FBody.size()) + "\r\n\r\n" + FBody;
                    SSL_write(tls, reply.data(), static_cast<int>(reply.size()));
                    SSL_shutdown(tls);
                }
                SSL_free(tls);
                ::shutdown(s, SD_SEND);
                ::closesocket(s);
            }
        });
    }
    ~TUpdateServer() {
        ::closesocket(FListen);
        FThread.join();
        ::WSACleanup();
    }
    std::wstring Url() const { return L"https://127.0.0.1:" + std::to_wstring(FPort); }
    std::atomic<int> Requests = 0;
    bool Trusted = false;

private:
    std::string FBody;
    TTestPki FPki;
    TTestPki::TContext FTls;
    SOCKET FListen = INVALID_SOCKET;
    int FPort = 0;
    std::thread FThread;
};

HWND VisibleWindow(const TKadrixProcess& p, const wchar_t* className) {
    HWND wnd = p.FindWindowOfClass(className);
    return wnd && ::IsWindowVisible(wnd) ? wnd : nullptr;
}

int CountWindows(const TKadrixProcess& p, const wchar_t* className) {
    int n = 0;
    for (HWND wnd : p.Windows()) {
        wchar_t name[64] = {};
        ::GetClassNameW(wnd, name, 64);
        n += std::wstring(name) == className && ::IsWindowVisible(wnd);
    }
    return n;
}

// A click at a point of a window's client area, once the window has
// settled after mapping.
void ClickIn(HWND wnd, int x, int y) {
    std::this_thread::sleep_for(500ms);
    POINT pt{x, y};
    ::ClientToScreen(wnd, &pt);
    MoveMouseTo(pt.x + 3, pt.y + 3); // twice: the first press may land stale
    MoveMouseTo(pt.x, pt.y);
    std::this_thread::sleep_for(50ms);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    std::this_thread::sleep_for(150ms);
}

class Companions : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsKey();
        // Pages opened by the windows stay on loopback.
        SetString(L"ServiceUrl", L"http://127.0.0.1:9");
    }
    void TearDown() override {
        FKadrix.reset();
        ResetSettingsKey();
    }
    std::unique_ptr<TKadrixProcess> FKadrix;
};
} // namespace

TEST_F(Companions, NewerVersionIsAnnouncedTenSecondsAfterStartWithoutStallingTheTray) {
    TUpdateServer server(Utf16File(L"2.16\r\nhttp://127.0.0.1/download.php\r\nKadrix 2.16\r\n"),
                         5s);
    ASSERT_TRUE(server.Trusted);
    SetString(L"ServiceUrl", server.Url());
    const auto start = TClock::now();
    FKadrix = std::make_unique<TKadrixProcess>();
    HWND main = FKadrix->WaitMainWindow();
    ASSERT_NE(main, nullptr);
    // The tray window answers throughout the check; the longest wait is the
    // GUI thread's longest stall.
    TClock::duration longest{};
    HWND dialog = nullptr;
    while (!dialog && TClock::now() - start < 30s) {
        const auto t = TClock::now();
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        longest = std::max(longest, TClock::now() - t);
        dialog = VisibleWindow(*FKadrix, L"TNewVersionForm");
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_NE(dialog, nullptr) << "no new-version window";
    const auto after = TClock::now() - start;
    EXPECT_GE(after, 14s); // 10 s timer + the server's 5 s
    EXPECT_LT(after, 25s);
    EXPECT_EQ(server.Requests, 1);
    EXPECT_TRUE(ValueExists(TestSettingsKey, L"CheckUpdates"));
    wchar_t caption[64] = {};
    ::GetWindowTextW(dialog, caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Обновление");
    std::printf("longest tray-window stall during the check: %.1f ms\n",
                std::chrono::duration<double, std::milli>(longest).count());
    EXPECT_LT(longest, 100ms);
    ClickIn(dialog, 511, 15); // the cross: nothing opened, window gone
    EXPECT_TRUE(WaitUntil([&] { return !VisibleWindow(*FKadrix, L"TNewVersionForm"); }));
}

TEST_F(Companions, InstallShowsTheWelcomeWindowWhoseButtonCaptures) {
    FKadrix = std::make_unique<TKadrixProcess>(L"/install");
    ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
    const auto start = TClock::now();
    HWND welcome = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (welcome = VisibleWindow(*FKadrix, L"TWelcomForm")); }, 10s));
    EXPECT_GE(TClock::now() - start, 1500ms); // the page first, the window 2 s later
    ClickIn(welcome, 288, 267);
    EXPECT_TRUE(WaitUntil([&] { return OverlayShown(*FKadrix); }));
    EXPECT_EQ(VisibleWindow(*FKadrix, L"TWelcomForm"), nullptr);
    TapKey(VK_ESCAPE);
}

TEST_F(Companions, FirstCopyShowsTheOffer) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    TPatternWindow pattern(w, h);
    FKadrix = std::make_unique<TKadrixProcess>();
    ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
    ::SetForegroundWindow(pattern.Handle());
    TPatternWindow::Pump(200ms);
    MoveMouseTo(w - 5, h - 5);
    TapKey(VK_SNAPSHOT);
    ASSERT_TRUE(WaitUntil([&] { return OverlayShown(*FKadrix); }));
    DragMouse(100, 100, 300, 250);
    ASSERT_TRUE(WaitUntil([&] { return VisibleWindow(*FKadrix, L"TPanelSave") != nullptr; }));
    EXPECT_EQ(VisibleWindow(*FKadrix, L"TFormOfferZelt"), nullptr);
    TapKey('C', {VK_CONTROL});
    EXPECT_TRUE(WaitUntil([&] { return VisibleWindow(*FKadrix, L"TFormOfferZelt") != nullptr; }));
}

TEST_F(Companions, AboutTwiceLeavesOneWindow) {
    FKadrix = std::make_unique<TKadrixProcess>();
    HWND main = FKadrix->WaitMainWindow();
    ASSERT_NE(main, nullptr);
    for (int i = 0; i < 2; ++i) {
        // The tray icon's right click, then "О программе" by keyboard.
        ::PostMessageW(main, WM_APP + 1, 1, WM_RBUTTONUP);
        ASSERT_TRUE(WaitUntil([] { return ::FindWindowW(L"#32768", nullptr) != nullptr; }));
        std::this_thread::sleep_for(200ms);
        for (int k = 0; k < 5; ++k)
            TapKey(VK_DOWN);
        TapKey(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return VisibleWindow(*FKadrix, L"TAboutForm") != nullptr; }));
        std::this_thread::sleep_for(300ms);
    }
    EXPECT_EQ(CountWindows(*FKadrix, L"TAboutForm"), 1);
}
