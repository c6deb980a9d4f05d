// Upload to the loopback service and save-as through the real dialog, as a
// user finishes a capture with the actions panel.
#include "BadServer.h" // winsock2 before <windows.h>
#include "ClipboardImage.h"
#include "KadrixProcess.h"
#include "SaveDialog.h"
#include "ScreenPattern.h"
#include "TestTls.h"

#include <gtest/gtest.h>
#include <wincrypt.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace {
std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::uint32_t BigEndian(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Decodes an 8-bit RGB PNG into $00RRGGBB pixels: any filter, IDATs joined.
std::optional<std::vector<std::uint32_t>> DecodePng(const std::vector<std::uint8_t>& png, int& w,
                                                    int& h) {
    static const std::uint8_t Signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (png.size() < 33 || !std::equal(Signature, Signature + 8, png.begin())) return std::nullopt;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t len = BigEndian(&png[at]);
        if (at + 12 + len > png.size()) return std::nullopt;
        const std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
        const std::uint8_t* data = &png[at + 8];
        if (type == "IHDR") {
            w = int(BigEndian(data));
            h = int(BigEndian(data + 4));
            if (data[8] != 8 || data[9] != 2) return std::nullopt;
        } else if (type == "IDAT") {
            packed.insert(packed.end(), data, data + len);
        }
        at += 12 + len;
    }
    const std::size_t stride = std::size_t(w) * 3;
    std::vector<std::uint8_t> raw(std::size_t(h) * (stride + 1));
    uLongf rawLen = uLongf(raw.size());
    if (w <= 0 || h <= 0 ||
        ::uncompress(raw.data(), &rawLen, packed.data(), uLong(packed.size())) != Z_OK ||
        rawLen != raw.size())
        return std::nullopt;
    std::vector<std::uint8_t> prev(stride), row(stride);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = &raw[std::size_t(y) * (stride + 1)];
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0, b = prev[i], c = i >= 3 ? prev[i - 3] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b),
                      pc = std::abs(p - c);
            const int predictors[5] = {0, a, b, (a + b) / 2,
                                       pa <= pb && pa <= pc ? a : (pb <= pc ? b : c)};
            if (in[0] > 4) return std::nullopt;
            row[i] = std::uint8_t(in[1 + i] + predictors[in[0]]);
        }
        for (int x = 0; x < w; ++x)
            pixels.push_back(std::uint32_t(row[x * 3]) << 16 | std::uint32_t(row[x * 3 + 1]) << 8 |
                             row[x * 3 + 2]);
        prev = row;
    }
    return pixels;
}

// The selection 100,100 - 300,250 of the pattern, as a PNG file.
void ExpectSelectionPng(const fs::path& file) {
    int w = 0, h = 0;
    const auto pixels = DecodePng(ReadBytes(file), w, h);
    ASSERT_TRUE(pixels.has_value()) << file.string() << " is no RGB PNG";
    ASSERT_EQ(w, 200);
    ASSERT_EQ(h, 150);
    int wrong = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            wrong += (*pixels)[std::size_t(y) * 200 + x] != Pattern(x + 100, y + 100);
    EXPECT_EQ(wrong, 0);
}

void TrustDer(const std::vector<std::uint8_t>& der) {
    ASSERT_TRUE(TrustInRootStore(der));
}

// Trusts the service's certificate as a user would: in the current user's roots.
void TrustCertificate(const fs::path& pemFile) {
    const std::vector<std::uint8_t> pem = ReadBytes(pemFile);
    ASSERT_FALSE(pem.empty()) << pemFile.string();
    DWORD size = 0;
    const auto* text = reinterpret_cast<const char*>(pem.data());
    ASSERT_TRUE(::CryptStringToBinaryA(text, DWORD(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                                       &size, nullptr, nullptr));
    std::vector<std::uint8_t> der(size);
    ASSERT_TRUE(::CryptStringToBinaryA(text, DWORD(pem.size()), CRYPT_STRING_BASE64HEADER,
                                       der.data(), &size, nullptr, nullptr));
    TrustDer(der);
}

const std::wstring UploadFailedKept = L"Не удалось загрузить скриншот.\r\nПожалуйста, попробуйте "
                                      L"еще раз.\r\nСкриншот сохранен: ";
const std::wstring LinkCopied = L"Ссылка на скриншот в буфере обмена.";

std::uint16_t PortOf(const std::wstring& url) {
    return std::uint16_t(std::stoi(url.substr(url.rfind(L':') + 1)));
}

std::set<std::wstring> StoredImages(const fs::path& dir) {
    std::set<std::wstring> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.path().filename().wstring()[0] != L'.') names.insert(e.path().filename().wstring());
    return names;
}

class PanelActions : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsKey();
        SetDword(L"OpenURL", 0); // no browser in the test prefix
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
    }
    void TearDown() override {
        FKadrix.reset();
        ResetSettingsKey();
    }
    // Captures the pattern's 100,100 - 300,250 and waits for the panel.
    void Capture() {
        const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
        FPattern = std::make_unique<TPatternWindow>(w, h);
        FKadrix = std::make_unique<TKadrixProcess>();
        ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
        ::SetForegroundWindow(FPattern->Handle());
        TPatternWindow::Pump(200ms);
        MoveMouseTo(w - 5, h - 5);
        TapKey(VK_SNAPSHOT);
        ASSERT_TRUE(WaitUntil([&] { return OverlayShown(*FKadrix); }));
        DragMouse(100, 100, 300, 250);
        ASSERT_TRUE(WaitUntil([&] {
            FPanel = FKadrix->FindWindowOfClass(L"TPanelSave");
            return FPanel && ::IsWindowVisible(FPanel);
        })) << "no actions panel";
    }
    // Buttons from the top: upload 0..33, copy 33..71, save 71..109.
    void ClickPanel(int buttonTop, int buttonBottom) {
        RECT rc{};
        ::GetWindowRect(FPanel, &rc);
        ClickAt(rc.left + 19, rc.top + (buttonTop + buttonBottom) / 2);
    }
    bool NotificationShown() const {
        HWND hint = FKadrix->FindWindowOfClass(L"TBHintForm");
        return hint && ::IsWindowVisible(hint);
    }

    std::unique_ptr<TPatternWindow> FPattern;
    std::unique_ptr<TKadrixProcess> FKadrix;
    HWND FPanel = nullptr;
};

// Uploads as the user makes them with the editor off: the release uploads.
class Upload : public PanelActions {
protected:
    void SetUp() override {
        PanelActions::SetUp();
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        FKept = fs::path(temp) / ("kadrix-e2e-kept-" + std::to_string(::GetCurrentProcessId()) +
                                  "-" + std::to_string(::GetTickCount()));
        fs::create_directories(FKept);
    }
    void TearDown() override {
        PanelActions::TearDown();
        std::error_code ec;
        fs::remove_all(FKept, ec);
    }
    void StartUploadingAtRelease() {
        SetString(L"path", FKept.wstring() + L"\\");
        SetDword(L"ShowRedact", 0);
        NoCompanionWindows();
        const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
        FPattern = std::make_unique<TPatternWindow>(w, h);
        FKadrix = std::make_unique<TKadrixProcess>();
        ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
    }
    // Selects the pattern's 100,100 - 300,250; the release uploads it.
    void UploadSelection() {
        EmptyTheClipboard();
        ::SetForegroundWindow(FPattern->Handle());
        TPatternWindow::Pump(100ms);
        MoveMouseTo(::GetSystemMetrics(SM_CXSCREEN) - 5, ::GetSystemMetrics(SM_CYSCREEN) - 5);
        TapKey(VK_SNAPSHOT);
        ASSERT_TRUE(WaitUntil([&] { return OverlayShown(*FKadrix); }));
        DragMouse(100, 100, 300, 250);
        ASSERT_TRUE(WaitUntil([&] { return !OverlayShown(*FKadrix); }));
    }
    std::wstring NotificationText() const { return FKadrix->NotificationText(); }
    // A new failure message naming the kept file (not the one of the
    // previous upload, which may still show); the file holds the selection.
    void ExpectFailureWithTheCaptureKept() {
        std::wstring text;
        const auto fresh = [&] {
            text = NotificationText();
            return text.starts_with(UploadFailedKept) && text != FLastFailure;
        };
        EXPECT_TRUE(WaitUntil(fresh, 30s))
            << "no failure message; shown: " << fs::path(text).string();
        if (!fresh()) return;
        FLastFailure = text;
        ExpectSelectionPng(text.substr(UploadFailedKept.size()));
    }
    void ExpectLinkFrom(const std::wstring& service) {
        std::wstring link;
        EXPECT_TRUE(
            WaitUntil([&] { return (link = ClipboardText()).starts_with(service + L"/s/"); }, 20s))
            << "no link; clipboard: " << fs::path(link).string();
        EXPECT_TRUE(WaitUntil([&] { return NotificationText() == LinkCopied; }));
    }

    fs::path FKept;
    std::wstring FLastFailure;
};

class SaveAs : public PanelActions {
protected:
    void SetUp() override {
        PanelActions::SetUp();
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        FDir = fs::path(temp) / ("kadrix-e2e-save-" + std::to_string(::GetCurrentProcessId()) +
                                 "-" + std::to_string(::GetTickCount()));
        fs::create_directories(FDir);
    }
    void TearDown() override {
        PanelActions::TearDown();
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(FDir, ec))
            ::SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(FDir, ec);
    }
    // Types the full path into the open save dialog's name box and presses Enter.
    void SaveThroughDialog(const fs::path& file) {
        ClickPanel(71, 109);
        HWND dialog = FillSaveDialog(*FKadrix, file);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(SubmitSaveDialog(dialog)) << "the dialog stayed open";
    }

    fs::path FDir;
};
} // namespace

TEST_F(Upload, StoresTheImageAndPutsTheLinkOnTheClipboard) {
    const std::wstring url = EnvVar(L"KADRIX_TEST_SERVICE_URL");
    const std::wstring data = EnvVar(L"KADRIX_TEST_SERVICE_DATA");
    const std::wstring cert = EnvVar(L"KADRIX_TEST_SERVICE_CERT");
    KADRIX_REQUIRE(!url.empty() && !data.empty() && !cert.empty(),
                   "no upload service (scripts/test.sh starts one)");
    TrustCertificate(cert);
    SetString(L"ServiceUrl", url);
    const fs::path images = fs::path(data) / "images";
    const std::set<std::wstring> before = StoredImages(images);
    Capture();
    ClickPanel(0, 33);
    EXPECT_TRUE(WaitUntil([&] { return !OverlayShown(*FKadrix); }));
    std::wstring link;
    ASSERT_TRUE(WaitUntil(
        [&] {
            link = ClipboardText();
            return link.starts_with(url + L"/s/");
        },
        20s))
        << "clipboard text: " << fs::path(link).string();
    EXPECT_TRUE(WaitUntil([&] { return NotificationShown(); }));

    std::set<std::wstring> added;
    for (const std::wstring& name : StoredImages(images))
        if (!before.contains(name)) added.insert(name);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(link, url + L"/s/" + *added.begin());
    ExpectSelectionPng(images / *added.begin());
}

TEST_F(SaveAs, ATypedNameGetsTheFormatsEndingAndHoldsTheSelection) {
    Capture();
    SaveThroughDialog(FDir / "shot");
    const fs::path file = FDir / "shot.png";
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(file); })) << file.string();
    EXPECT_TRUE(WaitUntil([&] { return !OverlayShown(*FKadrix); }));
    ExpectSelectionPng(file);
    EXPECT_FALSE(fs::exists(FDir / "shot.png.kadrix-part"));
}

// Another program holding the file open without delete sharing makes the
// replace fail, as a read-only file does on Windows (Wine replaces those).
TEST_F(SaveAs, AFailedSaveKeepsTheOldFileAndSaysSo) {
    const fs::path file = FDir / "old.png";
    const std::string old = "the previous picture";
    WriteBytes(file, old);
    unique_handle holder(::CreateFileW(file.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);
    Capture();
    SaveThroughDialog(file);
    EXPECT_TRUE(WaitUntil([&] { return NotificationShown(); }));
    holder.reset();
    const std::vector<std::uint8_t> now = ReadBytes(file);
    EXPECT_TRUE(std::string(now.begin(), now.end()) == old) << now.size() << " bytes there now";
    EXPECT_EQ(StoredImages(FDir).size(), 1u) << "a temporary file was left behind";
}

// An HTTPS service that redirects to plain HTTP: the redirect is served over
// TLS the client accepts, but the upload goes nowhere else, with the body
// (307) or without it (302); the user is told and keeps the capture.
TEST_F(Upload, AnHttpsUploadIsNeverRedirectedToHttp) {
    const TTestPki pki;
    TrustDer(pki.CaDer());
    TBadServer target(0), service(0);
    ASSERT_NE(target.Port(), 0);
    ASSERT_NE(service.Port(), 0);
    target.SetMode(TBadServer::TMode::Silent);
    service.SetTls(pki.Server("IP:127.0.0.1", -60, TTestPki::Day));
    service.SetMode(TBadServer::TMode::Redirect);
    SetString(L"ServiceUrl", L"https://127.0.0.1:" + std::to_wstring(service.Port()));
    StartUploadingAtRelease();
    int redirected = 0;
    for (const int status : {307, 302}) {
        SCOPED_TRACE(status);
        service.SetRedirect(status, "http://127.0.0.1:" + std::to_string(target.Port()) +
                                        "/i/index.php?r=user/imggate");
        UploadSelection();
        EXPECT_TRUE(WaitUntil([&] { return service.Redirected() > redirected; }, 10s))
            << "the redirect was not asked for";
        ExpectFailureWithTheCaptureKept();
        redirected = service.Redirected();
        EXPECT_EQ(target.Accepted(), 0) << "the upload went on in plain HTTP";
    }
}

// The shipped TLS stack against certificates it must refuse: each ends in
// the failure message with the capture kept, and the next upload, through
// the same worker, reaches the real service.
TEST_F(Upload, ABadCertificateFailsAndTheNextUploadWorks) {
    const std::wstring url = EnvVar(L"KADRIX_TEST_SERVICE_URL");
    const std::wstring cert = EnvVar(L"KADRIX_TEST_SERVICE_CERT");
    KADRIX_REQUIRE(!url.empty() && !cert.empty(), "no upload service (scripts/test.sh starts one)");
    TrustCertificate(cert);
    const TTestPki pki;
    TrustDer(pki.CaDer());
    // Kadrix keeps one address: a relay in front sends each upload to the
    // bad server or to the real service.
    TBadServer front(PortOf(url)), bad(0);
    ASSERT_NE(front.Port(), 0);
    ASSERT_NE(bad.Port(), 0);
    bad.SetMode(TBadServer::TMode::Silent);
    SetString(L"ServiceUrl", L"https://127.0.0.1:" + std::to_wstring(front.Port()));
    StartUploadingAtRelease();
    const long day = TTestPki::Day;
    const struct {
        const char* Name;
        TTestPki::TContext Tls;
    } faults[] = {
        {"untrusted", pki.Server("IP:127.0.0.1", -60, day, true)},
        {"expired", pki.Server("IP:127.0.0.1", -3 * day, -day)},
        {"another host", pki.Server("DNS:other.example", -60, day)},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.Name);
        bad.SetTls(fault.Tls);
        front.SetRelayPort(bad.Port());
        const int accepted = bad.Accepted();
        UploadSelection();
        ExpectFailureWithTheCaptureKept();
        EXPECT_GT(bad.Accepted(), accepted) << "the bad server was not reached";

        front.SetRelayPort(PortOf(url));
        UploadSelection();
        ExpectLinkFrom(url);
    }
}
