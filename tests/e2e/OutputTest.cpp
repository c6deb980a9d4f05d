// Finishing a capture as a user does: Ctrl+C or a release with the editor
// off puts exactly the selected pixels on the clipboard and says so.
#include "ClipboardImage.h"
#include "KadrixProcess.h"
#include "ScreenPattern.h"

#include <gtest/gtest.h>
#include <optional>

namespace {
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
