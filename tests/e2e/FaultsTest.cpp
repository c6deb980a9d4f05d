// Faults a user meets without asking for them: a full or read-only folder, a
// kill in the middle of a save, a clipboard another program holds, upload
// servers that break, a settings key damaged while Kadrix runs. None may
// lose a file the user had, hang Kadrix, or pass a failure off as success.
#include "BadServer.h" // winsock2 before <windows.h>
#include "ClipboardImage.h"
#include "KadrixProcess.h"
#include "SaveDialog.h"
#include "ScreenPattern.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>

namespace fs = std::filesystem;

namespace {
const std::wstring CopyDone =
    L"Скриншот скопирован в буфер обмена.\r\nНажмите Ctrl+V, чтобы вставить.";
const std::wstring CopyFailed =
    L"Не удалось скопировать в буфер обмена.\r\nПожалуйста, попробуйте еще раз.";
const std::wstring SaveFailed =
    L"Не удалось сохранить скриншот.\r\nПожалуйста, попробуйте еще раз.";
const std::wstring UploadFailedKept = L"Не удалось загрузить скриншот.\r\nПожалуйста, попробуйте "
                                      L"еще раз.\r\nСкриншот сохранен: ";
const std::wstring LinkCopied = L"Ссылка на скриншот в буфере обмена.";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<fs::path> Listing(const fs::path& dir) {
    std::set<fs::path> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        names.insert(e.path().filename());
    return names;
}

fs::path FreshDir(const char* what) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const fs::path dir = fs::path(temp) / ("kadrix-faults-" + std::string(what) + "-" +
                                           std::to_string(::GetTickCount()));
    fs::create_directories(dir);
    return dir;
}

// A whole PNG: signature, its size in IHDR, IEND at the very end (a cut
// write loses that first).
bool IsWholePng(const std::string& b, int w, int h) {
    const auto be = [&](std::size_t at) {
        return std::uint32_t(std::uint8_t(b[at])) << 24 |
               std::uint32_t(std::uint8_t(b[at + 1])) << 16 |
               std::uint32_t(std::uint8_t(b[at + 2])) << 8 | std::uint8_t(b[at + 3]);
    };
    return b.size() > 45 && b.starts_with("\x89PNG\r\n\x1a\n") && b.substr(12, 4) == "IHDR" &&
           be(16) == std::uint32_t(w) && be(20) == std::uint32_t(h) &&
           b.substr(b.size() - 8, 4) == "IEND";
}

bool ClipboardHasImage() {
    if (!::OpenClipboard(nullptr)) return false;
    const bool has =
        ::IsClipboardFormatAvailable(CF_DIB) || ::IsClipboardFormatAvailable(CF_BITMAP);
    ::CloseClipboard();
    return has;
}

int ThreadCount(DWORD pid) {
    const HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    unique_handle owner(snap);
    THREADENTRY32 te{};
    te.dwSize = sizeof te;
    int n = 0;
    for (BOOL ok = ::Thread32First(snap, &te); ok; ok = ::Thread32Next(snap, &te))
        n += te.th32OwnerProcessID == pid;
    return n;
}

std::string Narrow(const std::wstring& text) {
    return fs::path(text).string();
}

// Names that appear in a folder from construction on, as the file system
// reports them: a file that lives a millisecond is seen as well as one that
// stays, however busy the machine.
class TFolderWatch {
public:
    explicit TFolderWatch(const fs::path& dir)
        : FDir(::CreateFileW(dir.c_str(), FILE_LIST_DIRECTORY,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                             nullptr)),
          FEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        Arm();
    }
    ~TFolderWatch() {
        if (FArmed) ::CancelIoEx(FDir.get(), &FOverlapped);
    }
    // True once name has been created (or renamed to) within the timeout.
    bool WaitAdded(const std::wstring& name, std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (FArmed) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0 ||
                ::WaitForSingleObject(FEvent.get(), DWORD(left.count())) != WAIT_OBJECT_0)
                return false;
            DWORD got = 0;
            FArmed = false;
            if (!::GetOverlappedResult(FDir.get(), &FOverlapped, &got, FALSE)) return false;
            bool found = false;
            for (DWORD at = 0; got && !found;) {
                const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(FBuffer + at);
                const std::wstring file(info->FileName, info->FileNameLength / sizeof(wchar_t));
                found = file == name && (info->Action == FILE_ACTION_ADDED ||
                                         info->Action == FILE_ACTION_RENAMED_NEW_NAME);
                if (!info->NextEntryOffset) break;
                at += info->NextEntryOffset;
            }
            Arm();
            if (found) return true;
        }
        return false;
    }

private:
    void Arm() {
        FOverlapped = {};
        FOverlapped.hEvent = FEvent.get();
        ::ResetEvent(FEvent.get());
        FArmed =
            FDir.get() != INVALID_HANDLE_VALUE &&
            ::ReadDirectoryChangesW(FDir.get(), FBuffer, sizeof FBuffer, FALSE,
                                    FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &FOverlapped, nullptr);
    }

    unique_handle FDir, FEvent;
    OVERLAPPED FOverlapped{};
    alignas(DWORD) BYTE FBuffer[16384];
    bool FArmed = false;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class Faults : public TCaptureFixture {
protected:
    void SetUp() override {
        TCaptureFixture::SetUp();
        EmptyTheClipboard();
        NoCompanionWindows();
    }
    void Select(int x0, int y0, int x1, int y1) {
        StartCapture();
        ASSERT_TRUE(SelectRegion(x0, y0, x1, y1));
    }
    std::wstring NotificationText() const { return FKadrix->NotificationText(); }
    // The notification's text once it starts with prefix and ends with
    // suffix; empty after the timeout.
    std::wstring WaitNotification(const std::wstring& prefix,
                                  std::chrono::milliseconds timeout = 5s,
                                  const std::wstring& suffix = L"") {
        std::wstring text;
        WaitUntil(
            [&] {
                text = NotificationText();
                return text.starts_with(prefix) && text.ends_with(suffix);
            },
            timeout);
        return text.starts_with(prefix) && text.ends_with(suffix) ? text : std::wstring();
    }
    // Clicks "save", types the full path into the dialog; returns the dialog.
    HWND OpenSaveDialog(const fs::path& file) {
        HWND panel = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            panel = FKadrix->FindWindowOfClass(L"TPanelSave");
            return panel && ::IsWindowVisible(panel);
        })) << "no actions panel";
        RECT rc{};
        ::GetWindowRect(panel, &rc);
        ClickAt(rc.left + 19, rc.top + 90);
        return ::FillSaveDialog(*FKadrix, file);
    }
    void SaveThroughDialog(const fs::path& file) {
        HWND dialog = OpenSaveDialog(file);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(SubmitSaveDialog(dialog)) << "the dialog stayed open";
    }
};

// Folders prepared by scripts/test.sh, each holding old.png: a full volume
// and a read-only one.
TEST_F(Faults, ASaveToAFullOrReadOnlyFolderKeepsTheOldFileAndSaysSo) {
    std::vector<fs::path> dirs;
    for (const wchar_t* name : {L"KADRIX_TEST_FULL_DIR", L"KADRIX_TEST_READONLY_DIR"})
        if (const fs::path dir = EnvVar(name); !dir.empty()) dirs.push_back(dir);
    KADRIX_REQUIRE(dirs.size() == 2, "scripts/test.sh mounts these folders (as root)");
    StartKadrix();
    for (const fs::path& dir : dirs) {
        SCOPED_TRACE(dir.string());
        const fs::path file = dir / "old.png";
        const std::string old = ReadAll(file);
        ASSERT_FALSE(old.empty()) << file.string();
        const std::set<fs::path> before = Listing(dir);
        Select(100, 100, 300, 250);
        SaveThroughDialog(file);
        EXPECT_FALSE(
            WaitNotification(SaveFailed, 10s, (dir.filename() / "old.png").wstring()).empty())
            << "no failure message naming the file; shown: " << Narrow(NotificationText());
        EXPECT_TRUE(ReadAll(file) == old);
        EXPECT_EQ(Listing(dir), before) << "a temporary file was left behind";
    }
}

// The write goes to a temporary name that is renamed over the target: a kill
// at any moment leaves the old file or the whole new one. The first save is
// killed as soon as the temporary file appears; the second is left to finish
// and must replace both.
TEST_F(Faults, AKillDuringASaveLeavesTheOldFileOrTheWholeNewOne) {
    const fs::path dir = FreshDir("kill");
    const fs::path file = dir / "shot.png", part = dir / "shot.png.kadrix-part";
    const std::string old(100000, 'o');
    const int w = 1200, h = 700;
    for (const bool kill : {true, false}) {
        SCOPED_TRACE(kill ? "killed" : "left to finish");
        std::ofstream(file, std::ios::binary).write(old.data(), std::streamsize(old.size()));
        StartKadrix();
        Select(20, 20, 20 + w, 20 + h);
        HWND dialog = OpenSaveDialog(file);
        ASSERT_NE(dialog, nullptr);
        TFolderWatch watch(dir);
        TapKey(VK_RETURN);
        const auto start = std::chrono::steady_clock::now();
        if (kill) {
            // The kill follows the temporary file's creation as closely as
            // the machine allows; whenever it lands, the target must be whole.
            const bool seen = watch.WaitAdded(part.filename().wstring(), 10s);
            FKadrix->Kill();
            EXPECT_TRUE(seen) << "no temporary file appeared";
        } else {
            ASSERT_TRUE(WaitUntil([&] { return ReadAll(file) != old; }, 10s))
                << "not saved; grab: " << SaveScreenGrab("not-saved");
            FKadrix.reset();
        }
        const std::string now = ReadAll(file);
        const bool whole = IsWholePng(now, w, h);
        EXPECT_TRUE(now == old || whole) << now.size() << " bytes, neither old nor whole";
        std::cout << "[ report ] " << (kill ? "killed" : "finished") << " after "
                  << SecondsSince(start) << " s: target holds the "
                  << (now == old ? "old file"
                      : whole    ? "whole new file"
                                 : "damaged file")
                  << ", temporary file " << (fs::exists(part) ? "left" : "gone") << "\n";
        if (!kill) {
            EXPECT_FALSE(fs::exists(part)) << "the next save clears a leftover";
        }
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}

// The copy retries the clipboard for 2.5 s: a program that lets go within
// 2 s gets no failure; one that holds on does.
TEST_F(Faults, ACopyWaitsForAHeldClipboardThenSaysItFailed) {
    SetDword(L"ShowRedact", 0);
    SetDword(L"Server", 0); // a release copies at once
    StartKadrix();
    const struct {
        std::chrono::milliseconds Hold; // after the release
        bool Copied;
    } rows[] = {{300ms, true}, {1800ms, true}, {4000ms, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE((row.Copied ? "let go after " : "held for ") +
                     std::to_string(row.Hold.count()) + " ms");
        EmptyTheClipboard();
        ASSERT_TRUE(::OpenClipboard(nullptr));
        Select(100, 100, 300, 250);
        std::this_thread::sleep_for(row.Hold);
        ::CloseClipboard();
        EXPECT_FALSE(WaitNotification(row.Copied ? CopyDone : CopyFailed).empty());
        // The last row's "copied" may still be showing: the clipboard tells.
        if (row.Copied)
            EXPECT_TRUE(WaitUntil(ClipboardHasImage, 5s));
        else
            EXPECT_FALSE(ClipboardHasImage());
    }
}

// Each broken server ends in the failure message with the capture kept in a
// file; the next upload reaches the real service through the same worker, no
// thread piles up, and an upload hanging at exit does not hold Kadrix.
TEST_F(Faults, ABrokenUploadServerFailsCleanlyAndTheNextUploadWorks) {
    const std::wstring service = EnvVar(L"KADRIX_TEST_PLAIN_SERVICE_URL");
    KADRIX_REQUIRE(!service.empty(), "no plain HTTP upload service (scripts/test.sh starts one)");
    TBadServer server(std::uint16_t(std::stoi(service.substr(service.rfind(L':') + 1))));
    ASSERT_NE(server.Port(), 0);
    const fs::path kept = FreshDir("kept");
    SetString(L"ServiceUrl", L"http://127.0.0.1:" + std::to_wstring(server.Port()));
    SetString(L"path", kept.wstring() + L"\\");
    SetDword(L"ShowRedact", 0); // a release uploads at once
    SetDword(L"OpenURL", 0);
    StartKadrix();
    // Large enough that the reset lands while the body is still being sent.
    const auto upload = [&](TBadServer::TMode mode) {
        server.SetMode(mode);
        EmptyTheClipboard();
        Select(10, 10, FW - 10, FH - 10);
    };
    const struct {
        TBadServer::TMode Mode;
        const char* Name;
    } faults[] = {{TBadServer::TMode::ResetMidBody, "reset mid-body"},
                  {TBadServer::TMode::Garbage, "10 MB of garbage"},
                  {TBadServer::TMode::Silent, "silent"}};
    int threads = -1;
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.Name);
        const auto start = std::chrono::steady_clock::now();
        upload(fault.Mode);
        const std::wstring text = WaitNotification(UploadFailedKept, 30s);
        std::cout << "[ report ] " << fault.Name << ": failure shown after " << SecondsSince(start)
                  << " s\n";
        ASSERT_FALSE(text.empty()) << "no failure message";
        EXPECT_TRUE(IsWholePng(ReadAll(text.substr(UploadFailedKept.size())), FW - 20, FH - 20))
            << "the capture was not kept";

        upload(TBadServer::TMode::Relay);
        std::wstring link;
        EXPECT_TRUE(
            WaitUntil([&] { return (link = ClipboardText()).starts_with(service + L"/s/"); }, 20s))
            << "the next upload failed: " << Narrow(link);
        EXPECT_FALSE(WaitNotification(LinkCopied).empty());
        // Wine's thread pool lets an idle worker go after about 5 s, later
        // on a loaded machine.
        int now = ThreadCount(FKadrix->Pid());
        if (threads < 0) threads = now;
        EXPECT_TRUE(WaitUntil([&] { return (now = ThreadCount(FKadrix->Pid())) <= threads; }, 20s))
            << now << " threads, " << threads << " after the first fault";
        std::cout << "[ report ] threads after the next upload: " << now << "\n";
    }

    const int accepted = server.Accepted();
    upload(TBadServer::TMode::Silent);
    ASSERT_TRUE(WaitUntil([&] { return server.Accepted() > accepted; }, 10s));
    std::this_thread::sleep_for(500ms); // the body is on its way
    const auto start = std::chrono::steady_clock::now();
    ::PostMessageW(FKadrix->WaitMainWindow(), WM_CLOSE, 0, 0);
    // The worker drops the connection long before the stall time-out would.
    EXPECT_TRUE(WaitUntil([&] { return server.Open() == 0; }, 3s)) << "the upload goes on";
    std::cout << "[ report ] exit with an upload hanging: connection dropped after "
              << SecondsSince(start) << " s";
    DWORD code = 99;
    EXPECT_TRUE(FKadrix->WaitExit(10s, &code));
    EXPECT_EQ(code, 0u) << "no clean exit";
    std::cout << ", process gone after " << SecondsSince(start) << " s\n";
    std::error_code ec;
    fs::remove_all(kept, ec);
}

// Values a hand, a cleaner or another version may leave: every kind the
// program reads, in a type it never writes, or the whole key gone.
void WrongTypes() {
    const std::wstring huge(100000, L'x');
    for (const wchar_t* name : {L"pencolor", L"wincolor", L"format", L"showcursor", L"playsound",
                                L"hkAllScreen", L"TwoMouse", L"SaveLocal", L"SurveyCloseCount"})
        SetString(name, huge);
    SetDword(L"path", 7);
    SetDword(L"lastpath", 7);
    SetBinary(L"ServiceUrl", {0x68, 0, 0x74});
    SetBinary(L"ShowOffer", {1, 2, 3});
    SetBinary(L"CheckUpdates", {1, 2, 3, 4, 5, 6, 7});
    SetString(L"SurveySeeSite", huge);
}

TEST_F(Faults, ADamagedSettingsKeyLeavesCaptureAndSaveWorking) {
    const fs::path dir = FreshDir("registry");
    StartKadrix();
    const struct {
        void (*Damage)();
        const char* Folder;
    } rows[] = {{&WrongTypes, "wrong-types"}, {&ResetSettingsKey, "key-deleted"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Folder);
        row.Damage();
        const fs::path folder = dir / row.Folder, file = folder / "shot.png";
        fs::create_directories(folder);
        Select(100, 100, 300, 250);
        SaveThroughDialog(file);
        EXPECT_TRUE(WaitUntil([&] { return IsWholePng(ReadAll(file), 200, 150); }));
        // Remembered once the overlay is closed, a moment after the file.
        const std::wstring expected = folder.wstring() + L"\\";
        std::wstring stored;
        EXPECT_TRUE(WaitUntil([&] {
            wchar_t buf[MAX_PATH] = {};
            DWORD size = sizeof buf;
            ::RegGetValueW(HKEY_CURRENT_USER, TestSettingsKey, L"lastpath", RRF_RT_REG_SZ, nullptr,
                           buf, &size);
            return (stored = buf) == expected;
        })) << "the folder is not remembered: "
            << Narrow(stored);
        EXPECT_TRUE(FKadrix->Running());
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}
} // namespace
