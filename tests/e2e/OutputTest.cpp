// Finishing a capture as a user does: Ctrl+C or a release with the editor
// off puts exactly the selected pixels on the clipboard and says so.
#include "KadrixProcess.h"
#include "ScreenPattern.h"

#include <gtest/gtest.h>
#include <optional>

namespace {
struct TClipboardImage {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels; // top-down, $00RRGGBB
};

std::optional<TClipboardImage> ClipboardImage() {
    if (!::OpenClipboard(nullptr)) return std::nullopt;
    std::optional<TClipboardImage> result;
    if (HANDLE h = ::GetClipboardData(CF_DIB)) {
        const auto* info = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(h));
        if (info && info->biBitCount == 32) {
            TClipboardImage img;
            img.Width = info->biWidth;
            img.Height = std::abs(info->biHeight);
            const bool bottomUp = info->biHeight > 0;
            const auto* bits = reinterpret_cast<const std::uint32_t*>(
                reinterpret_cast<const BYTE*>(info) + info->biSize +
                (info->biCompression == BI_BITFIELDS ? 12 : 0));
            for (int y = 0; y < img.Height; ++y) {
                const std::uint32_t* row =
                    bits + std::size_t(bottomUp ? img.Height - 1 - y : y) * std::size_t(img.Width);
                for (int x = 0; x < img.Width; ++x)
                    img.Pixels.push_back(row[x] & 0xFFFFFF);
            }
            result = img;
        }
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return result;
}

std::string ClipboardFormats() {
    std::string out;
    if (!::OpenClipboard(nullptr)) return "clipboard not opened";
    for (UINT f = 0; (f = ::EnumClipboardFormats(f)) != 0;)
        out += std::to_string(f) + " ";
    if (HANDLE h = ::GetClipboardData(CF_DIB)) {
        const auto* info = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(h));
        if (info) out += "dib bpp " + std::to_string(info->biBitCount);
        ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return out;
}

void EmptyTheClipboard() {
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
}

// The selection 100,100 - 300,250 of the pattern.
void ExpectSelectionOnClipboard() {
    std::optional<TClipboardImage> img;
    ASSERT_TRUE(WaitUntil([&] { return (img = ClipboardImage()).has_value(); }, 5s))
        << "clipboard formats: " << ClipboardFormats();
    ASSERT_EQ(img->Width, 200);
    ASSERT_EQ(img->Height, 150);
    int wrong = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            wrong += img->Pixels[std::size_t(y) * 200 + x] != Pattern(x + 100, y + 100);
    EXPECT_EQ(wrong, 0);
}

class Output : public TCaptureFixture {
protected:
    void SetUp() override {
        TCaptureFixture::SetUp();
        EmptyTheClipboard();
    }
    void Start() {
        StartKadrix();
        StartCapture();
    }
    bool NotificationShown() const {
        HWND hint = FKadrix->FindWindowOfClass(L"TBHintForm");
        return hint && ::IsWindowVisible(hint);
    }
};
} // namespace

TEST_F(Output, CtrlCCopiesTheSelectionAndSaysSo) {
    Start();
    DragMouse(100, 100, 300, 250);
    ASSERT_TRUE(WaitUntil([&] {
        HWND panel = FKadrix->FindWindowOfClass(L"TPanelSave");
        return panel && ::IsWindowVisible(panel);
    })) << "no actions panel";
    TapKey('C', {VK_CONTROL});
    EXPECT_TRUE(WaitUntil([&] { return !OverlayShown(*FKadrix); }));
    ExpectSelectionOnClipboard();
    EXPECT_TRUE(WaitUntil([&] { return NotificationShown(); }));
}

TEST_F(Output, WithTheEditorOffTheReleaseCopiesAtOnce) {
    SetDword(L"ShowRedact", 0);
    SetDword(L"Server", 0);
    Start();
    DragMouse(100, 100, 300, 250);
    EXPECT_TRUE(WaitUntil([&] { return !OverlayShown(*FKadrix); }));
    ExpectSelectionOnClipboard();
    EXPECT_TRUE(WaitUntil([&] { return NotificationShown(); }));
}
