#include "output/SaveRules.h"
#include "support/Utilities.h"
#include "unit/fakes/MemoryRegistry.h"

#include <gtest/gtest.h>

TEST(SaveRules, ScreenshotNamePadsEveryField) {
    EXPECT_EQ(ScreenshotName({2026, 12, 8, 13, 4, 9, 999}), L"Скриншот 08.12.26_13.04.09");
    EXPECT_EQ(ScreenshotName({2007, 1, 31, 0, 0, 0, 0}), L"Скриншот 31.01.07_00.00.00");
}

TEST(SaveRules, ConfirmedNameAndFilter) {
    struct TCase {
        std::wstring_view Chosen;
        int FilterIndex;
        TSaveTarget Expected;
    } cases[] = {
        {L"C:\\s\\Скриншот 08.12.26_13.04.09",
         1,
         {L"C:\\s\\Скриншот 08.12.26_13.04.09.png", ifPng}},
        {L"C:\\s\\shot.jpg", 1, {L"C:\\s\\shot.png", ifPng}},
        {L"C:\\s\\shot.PNG", 1, {L"C:\\s\\shot.PNG.png", ifPng}},
        {L"C:\\s\\shot.png", 2, {L"C:\\s\\shot.jpg", ifJpeg}},
        {L"C:\\s\\shot.bmp", 3, {L"C:\\s\\shot.bmp", ifBmp}},
        {L"C:\\s\\shot.jpeg", 3, {L"C:\\s\\shot.jpeg.bmp", ifBmp}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConfirmedSaveTarget(c.Chosen, c.FilterIndex), c.Expected) << WideToUtf8(c.Chosen);
}

TEST(SaveRules, FormatSettingPicksFilterUploadAndLocalCopy) {
    struct TCase {
        std::int32_t Format;
        int FilterIndex;
        TImageFormat Upload;
        std::wstring_view UploadText;
        std::wstring_view LocalExt;
    } cases[] = {
        {0, 1, ifPng, L".PNG", L".png"},  {1, 2, ifJpeg, L".JPG", L".jpg"},
        {2, 3, ifPng, L".PNG", L".bmp"},  {7, 1, ifPng, L".PNG", L".png"},
        {-1, 1, ifPng, L".PNG", L".png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Format);
        EXPECT_EQ(SaveDialogFilterIndex(c.Format), c.FilterIndex);
        EXPECT_EQ(UploadEncodingFor(c.Format).Format, c.Upload);
        EXPECT_EQ(UploadEncodingFor(c.Format).FormatText, c.UploadText);
        TSettings settings;
        settings.path = L"D:\\Shots\\";
        settings.format = c.Format;
        EXPECT_EQ(LocalCopyFileName(settings, {2026, 12, 8, 13, 4, 9, 0}),
                  L"D:\\Shots\\Скриншот 08.12.26_13.04.09" + std::wstring(c.LocalExt));
    }
}

TEST(SaveRules, InitialFolderPrefersAnExistingLastPath) {
    TSettings settings;
    settings.path = L"D:\\Shots\\";
    const auto exists = [](const std::wstring& dir) { return dir == L"E:\\Kept\\"; };
    EXPECT_EQ(SaveDialogInitialDir(settings, exists), L"D:\\Shots\\");
    settings.lastpath = L"E:\\Gone\\";
    EXPECT_EQ(SaveDialogInitialDir(settings, exists), L"D:\\Shots\\");
    settings.lastpath = L"E:\\Kept\\";
    EXPECT_EQ(SaveDialogInitialDir(settings, exists), L"E:\\Kept\\");
}

TEST(SaveRules, SelectionChangeStripsTheLastExtensionOfTheName) {
    EXPECT_EQ(SaveDialog1SelectionChange(L"a.b.png"), L"a.b");
    EXPECT_EQ(SaveDialog1SelectionChange(L"C:\\x.y\\shot.JPG"), L"C:\\x.y\\shot");
    EXPECT_EQ(SaveDialog1SelectionChange(L"C:\\x.y\\shot"), std::nullopt);
    EXPECT_EQ(SaveDialog1SelectionChange(L"shot"), std::nullopt);
    EXPECT_EQ(FolderOf(L"C:\\x.y\\shot.png"), L"C:\\x.y\\");
    EXPECT_EQ(FolderOf(L"shot.png"), L"");
}

TEST(SaveRules, RememberLastPathWritesOnlyOnChange) {
    TMemoryRegistry registry;
    TSettings settings;
    settings.lastpath = L"C:\\A\\";
    EXPECT_TRUE(RememberLastPath(settings, registry, L"C:\\A\\"));
    EXPECT_TRUE(registry.Log.empty());
    EXPECT_FALSE(registry.KeyExists(SettingsKey));

    EXPECT_TRUE(RememberLastPath(settings, registry, L"C:\\a\\")); // case counts
    EXPECT_EQ(settings.lastpath, L"C:\\a\\");
    ASSERT_EQ(registry.Log.size(), 1u);
    EXPECT_EQ(registry.Get(SettingsKey, L"lastpath"), TRegValue::OfString(L"C:\\a\\"));

    registry.FailingWrites.insert(L"lastpath");
    EXPECT_FALSE(RememberLastPath(settings, registry, L"C:\\B\\"));
    EXPECT_EQ(settings.lastpath, L"C:\\B\\");
}

TEST(SaveRules, UploadReply) {
    struct TCase {
        std::wstring_view Reply;
        TUploadReply Expected;
    } cases[] = {
        {LR"({"screen_link":"https://h/s/1.png"})", {true, L"https://h/s/1.png"}},
        {LR"({"screen_link":"https://h/s/ж.png","error":""})", {true, L"https://h/s/ж.png"}},
        {LR"({"screen_link":"l","error":null})", {true, L"l"}},
        {LR"({"screen_link":"l","error":"quota"})", {}},
        {LR"({"screen_link":"l","error":0})", {}},
        {LR"({"screen_link":"l","error":false})", {}},
        {LR"({"screen_link":""})", {}},
        {LR"({"screen_link":null})", {}},
        {LR"({})", {}},
        {LR"(["l"])", {}},
        {L"", {}},
        {L"<html>502</html>", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadUploadReply(c.Reply), c.Expected) << WideToUtf8(c.Reply);
}

// Only these reach the shell; everything else is copied and shown.
TEST(SaveRules, IsWebLinkTakesOnlyAbsoluteHttpUrisOfRfc3986Characters) {
    const std::wstring longest = L"https://h/" + std::wstring(MaxWebLinkLength - 10, L'a');
    const std::pair<std::wstring, bool> cases[] = {
        {L"https://example.test/s/1.png", true},
        {L"HTTP://example.test/s/1.png", true},
        {L"http://example.test", true},
        {L"https://example.test:8443/s?a=1&b=%2F#top", true},
        {L"https://127.0.0.1:/x", true}, // an empty port is allowed
        {L"https://[::1]:8443/s/1.png", true},
        {L"https://h/a-._~!$&'()*+,;=:@/?x?#f/?", true},
        {longest, true},
        {longest + L"a", false},               // 2,049 characters
        {L"https://", false},                 // no host
        {L"https://:80/", false},
        {L"https:///x", false},
        {L"https://user@example.test/", false}, // user information
        {L"https://user:pw@example.test/", false},
        {L"https://example.test:8o/", false},
        {L"https://exa mple.test/", false},
        {L"https://example.test/a b", false},
        {L"https://example.test/\"&calc", false},
        {L"https://example.test/<x>", false},
        {L"https://example.test/a^b|c", false},
        {L"https://example.test/{x}", false},
        {L"https://example.test/a\\b", false},
        {L"https://example.test/%", false},
        {L"https://example.test/%2", false},
        {L"https://example.test/%zz", false},
        {L"https://example.test/#a#b", false},
        {L"https://example.test/[x]", false},
        {L"https://[::1/x", false},
        {L"https://[]/x", false},
        {L"https://[::g]/x", false},
        {L"https://[::1]x/", false},
        {L"https://example.test/\u0001x", false},
        {L"https://example.test/\u007F", false},
        {L"https://пример.рф/", false},         // non-ASCII: only punycode
        {L"https://example.test/\u00A0", false},
        {L"file:///C:/x.exe", false},
        {L"C:\\Windows\\System32\\cmd.exe", false},
        {L"\\\\host\\share\\x.exe", false},
        {L"javascript:alert(1)", false},
        {L" https://example.test/", false},
        {L"https:example.test", false},
        {L"httpss://example.test", false},
        {L"", false},
    };
    for (const auto& [link, web] : cases)
        EXPECT_EQ(IsWebLink(link), web) << WideToUtf8(link);
}
