#include "output/PanelForm2Unit.h"
#include "unit/fakes/FakeTextRasterizer.h"
#include "unit/fakes/MemoryRegistry.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {
// Records every call of the actions panel; failures are switched on per step.
class TFakeActions : public TPanelSaveActions {
public:
    void EndLiveTool() override { Log += "end "; }
    TBitmap32 GetBitmap() override {
        Log += "bitmap ";
        return TBitmap32(4, 3, 0xC8102030); // alpha 200 left by a translucent stroke
    }
    void CloseOverlay() override { Log += "close "; }
    void TestClose() override { Log += "testclose "; }
    void HidePanels() override { Log += "hide "; }
    void ShowPanels() override { Log += "show "; }
    void CopyBitmapToClipboard(const TBitmap32&) override {
        if (ClipboardFails) throw std::runtime_error("held");
        Log += "clipboard ";
    }
    void CopyTextToClipboard(const std::wstring& text) override {
        if (ClipboardFails) throw std::runtime_error("held");
        ClipboardText = text;
    }
    std::optional<TSaveDialogResult> RunSaveDialog(const TSaveDialogRequest& r) override {
        Request = r;
        Log += "dialog ";
        return Choice;
    }
    bool DirectoryExists(const std::wstring& dir) override { return Dirs.count(dir) > 0; }
    void ForceDirectories(const std::wstring& dir) override { Dirs.insert(dir); }
    void WriteFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override {
        if (WriteFails) throw std::runtime_error("disk full");
        Files[path] = bytes;
    }
    void OpenInShell(const std::wstring& a) override { Opened = a; }
    bool SendScreen(std::function<std::vector<std::uint8_t>()> encode,
                    std::wstring_view format) override {
        if (QueueFull) {
            Log += "refused ";
            return false;
        }
        Log += "send ";
        Sent.push_back({encode(), std::wstring(format)});
        return true;
    }
    void ShowNotification(const std::wstring& t) override { Notified = t; }
    void ShowSurveyOrOffer() override { Log += "survey"; }
    TLocalTime Now() override { return {2026, 12, 8, 13, 4, 9, 0}; }
    TRegistry& Registry() override { return Reg; }

    std::string Log;
    bool ClipboardFails = false, WriteFails = false, QueueFull = false;
    std::wstring ClipboardText, Opened, Notified;
    std::optional<TSaveDialogResult> Choice;
    TSaveDialogRequest Request;
    std::set<std::wstring> Dirs;
    std::map<std::wstring, std::vector<std::uint8_t>> Files;
    std::vector<std::pair<std::vector<std::uint8_t>, std::wstring>> Sent;
    TMemoryRegistry Reg;
};

const std::wstring Shot = L"Скриншот 08.12.26_13.04.09";

class PanelSave : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = Settings;
        Settings = TSettings();
        Settings.path = L"C:\\Shots\\";
    }
    void TearDown() override { Settings = FSaved; }

    TFakeTextRasterizer Text;
    TFakeActions A;
    TPanelSave Panel{Text, A};
    TSettings FSaved;
};
} // namespace

TEST_F(PanelSave, CopyPutsTheImageOnTheClipboardOrSaysItFailed) {
    Panel.btSaveClipbrd.Click();
    EXPECT_EQ(A.Log, "end bitmap clipboard close survey");
    EXPECT_EQ(A.Notified, OutputTexts::CopyDone);
    A.Log.clear();
    A.ClipboardFails = true;
    Panel.btSaveClipbrdClick();
    EXPECT_EQ(A.Log, "end bitmap close survey");
    EXPECT_EQ(A.Notified, OutputTexts::CopyFailed);
}

TEST_F(PanelSave, SaveWritesTheChosenFormatAndRemembersTheFolder) {
    Settings.format = 2;
    A.Choice = TSaveDialogResult{L"D:\\Pics\\" + Shot + L".jpg", 1};
    Panel.btSaveFile.Click();
    EXPECT_EQ(A.Request.FileName, Shot);
    EXPECT_EQ(A.Request.FilterIndex, 3);
    EXPECT_EQ(A.Request.InitialDir, L"C:\\Shots\\"); // created on the way
    EXPECT_EQ(A.Log, "end hide dialog bitmap close survey");
    const auto& png = A.Files.at(L"D:\\Pics\\" + Shot + L".png");
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(Settings.lastpath, L"D:\\Pics\\");
    EXPECT_TRUE(A.Notified.empty());
}

TEST_F(PanelSave, CancelledSaveBringsThePanelsBackAndWritesNothing) {
    Settings.lastpath = L"D:\\Old\\";
    A.Dirs.insert(L"D:\\Old\\");
    Panel.btSaveFileClick();
    EXPECT_EQ(A.Request.InitialDir, L"D:\\Old\\");
    EXPECT_EQ(A.Log, "end hide dialog show survey");
    EXPECT_TRUE(A.Files.empty());
    EXPECT_EQ(Settings.lastpath, L"D:\\Old\\");
}

TEST_F(PanelSave, FailedSaveIsToldToTheUser) {
    A.WriteFails = true;
    A.Choice = TSaveDialogResult{L"D:\\Pics\\a", 1};
    Panel.btSaveFileClick();
    EXPECT_NE(A.Notified.find(std::wstring(OutputTexts::SaveFailed)), std::wstring::npos);
    EXPECT_NE(A.Notified.find(L"D:\\Pics\\a.png"), std::wstring::npos);
}

TEST_F(PanelSave, UploadSendsTheEncodedImageAndHandlesTheReply) {
    Settings.format = 1;
    Settings.OpenURL = true;
    Panel.btSendCloud.Click();
    EXPECT_EQ(A.Log, "end bitmap close send survey");
    ASSERT_EQ(A.Sent.size(), 1u);
    EXPECT_EQ(A.Sent[0].second, L".JPG");
    EXPECT_EQ(A.Sent[0].first[0], 0xFF); // a JPEG
    Panel.HandleUploadReply(LR"({"screen_link": "https://example.test/s/1.jpg"})");
    EXPECT_EQ(A.ClipboardText, L"https://example.test/s/1.jpg");
    EXPECT_EQ(A.Opened, L"https://example.test/s/1.jpg");
    EXPECT_EQ(A.Notified, OutputTexts::LinkCopied);
    EXPECT_TRUE(A.Files.empty());
}

TEST_F(PanelSave, OnlyAWebLinkFromTheServerIsOpened) {
    Settings.OpenURL = true;
    const std::pair<std::wstring, bool> links[] = {
        {L"https://example.test/s/1.png", true},
        {L"HTTP://example.test/s/1.png", true},
        {L"C:\\Windows\\System32\\cmd.exe", false},
        {L"\\\\host\\share\\x.exe", false},
        {L"file:///C:/x.exe", false},
        {L"https://", false},
        {L"https://example.test/\u0001x", false},
        {L"https://example.test/a b", false},
        {L"https://user@example.test/", false},
    };
    for (const auto& [link, opened] : links) {
        A.Opened.clear();
        std::wstring json = LR"({"screen_link": ")";
        for (const wchar_t c : link)
            json += c == L'\\' ? L"\\\\" : c < 0x20 ? L"\\u0001" : std::wstring(1, c);
        Panel.HandleUploadReply(json + L"\"}");
        EXPECT_EQ(A.ClipboardText, link) << "the link is kept whatever it is";
        EXPECT_EQ(A.Opened, opened ? link : L"") << std::string(link.begin(), link.end());
        // What is not opened is shown.
        EXPECT_EQ(A.Notified, std::wstring(OutputTexts::LinkCopied) + (opened ? L"" : L"\r\n" + link));
    }
}

// A failed upload keeps the capture in a file unless a local copy exists.
TEST_F(PanelSave, FailedUploadKeepsTheImage) {
    for (const bool saveLocal : {false, true}) {
        A.Files.clear();
        Settings.SaveLocal = saveLocal;
        Panel.btSendCloudClick();
        ASSERT_EQ(A.Files.size(), saveLocal ? 1u : 0u);
        Panel.HandleUploadReply(LR"({"error": "quota", "screen_link": "x"})");
        EXPECT_EQ(A.Files.size(), 1u);
        const std::wstring kept = L"C:\\Shots\\" + Shot + L".png";
        EXPECT_EQ(A.Files.count(kept), 1u);
        EXPECT_EQ(A.Notified.find(kept) != std::wstring::npos, !saveLocal) << A.Notified.size();
        EXPECT_TRUE(A.ClipboardText.empty());
    }
}

// Too many uploads wait: this one is refused at once and kept in a file
// (also with the local copy on: it is that file), and the message names it.
TEST_F(PanelSave, ARefusedUploadIsKeptAndNamed) {
    A.QueueFull = true;
    const std::wstring kept = L"C:\\Shots\\" + Shot + L".png";
    for (const bool saveLocal : {false, true}) {
        A.Files.clear();
        A.Log.clear();
        Settings.SaveLocal = saveLocal;
        Panel.btSendCloudClick();
        EXPECT_EQ(A.Log, "end bitmap close refused survey");
        EXPECT_EQ(A.Files.size(), 1u);
        EXPECT_EQ(A.Files.count(kept), 1u);
        EXPECT_EQ(A.Notified, UploadRefusedMessage(kept));
    }
    EXPECT_EQ(UploadRefusedMessage(kept), L"Слишком много скриншотов ждут загрузки.\r\n"
                                          L"Скриншот сохранен: " + kept);
    A.WriteFails = true;
    Panel.btSendCloudClick();
    EXPECT_EQ(A.Notified, L"Слишком много скриншотов ждут загрузки.\r\n"
                          L"Пожалуйста, попробуйте позже.");
}

TEST_F(PanelSave, EscAsksTheOverlayToCloseAndTheCrossDiscards) {
    Panel.FormKeyDown(27);
    Panel.FormKeyDown(13);
    Panel.ImageButton3.Click();
    EXPECT_EQ(A.Log, "testclose close ");
    EXPECT_TRUE(A.Notified.empty());
}
