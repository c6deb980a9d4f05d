#include "app/FontFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {
class FontFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        FDir =
            fs::temp_directory_path() /
            ("kadrix-fonts-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(FDir);
        fs::create_directories(FDir);
    }
    void TearDown() override { fs::remove_all(FDir); }
    void Touch(const std::string& name) { std::ofstream(FDir / name) << "x"; }
    std::wstring Folder() const { return (FDir / "").wstring(); }
    fs::path FDir;
};

TEST_F(FontFolderTest, RegistersOnlyFontFilesOfTheTopLevel) {
    Touch("A.TTF");
    Touch("b.otf");
    Touch("c.fon");
    Touch("noext");
    Touch("d.ttf.bak");
    fs::create_directories(FDir / "x");
    std::ofstream(FDir / "x" / "inner.ttf") << "x";
    fs::create_directories(FDir / "dir.ttf"); // a directory with a font-like name

    std::vector<std::pair<std::wstring, bool>> calls;
    SetFolderFonts(Folder(), false,
                   [&](const std::wstring& p, bool r) { calls.emplace_back(p, r); });
    std::sort(calls.begin(), calls.end());
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].first, Folder() + L"A.TTF");
    EXPECT_EQ(calls[1].first, Folder() + L"b.otf");
    EXPECT_FALSE(calls[0].second);

    calls.clear();
    SetFolderFonts(Folder(), true,
                   [&](const std::wstring& p, bool r) { calls.emplace_back(p, r); });
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[0].second && calls[1].second);
}

TEST_F(FontFolderTest, ListFolderSeparatesDirectoriesAndHonoursTheLimit) {
    Touch("1.ttf");
    Touch("2.ttf");
    Touch("3.ttf");
    fs::create_directories(FDir / "sub");
    std::vector<std::wstring> dirs, files;
    EXPECT_TRUE(ListFolder(Folder(), &dirs, &files, 2));
    EXPECT_EQ(dirs, std::vector<std::wstring>{L"sub"});
    EXPECT_EQ(files.size(), 2u);

    // Without a subfolder list, directories count as files.
    files.clear();
    EXPECT_TRUE(ListFolder(Folder(), nullptr, &files, -1));
    EXPECT_EQ(files.size(), 4u);
}

TEST_F(FontFolderTest, MissingFolderIsNotAnError) {
    std::vector<std::wstring> files{L"keep"};
    EXPECT_FALSE(ListFolder(Folder() + L"missing/", nullptr, &files, -1));
    EXPECT_EQ(files, std::vector<std::wstring>{L"keep"});
    int calls = 0;
    SetFolderFonts(Folder() + L"missing/", false, [&](const std::wstring&, bool) { ++calls; });
    EXPECT_EQ(calls, 0);
}

TEST(FontFileName, ExtensionIsComparedInLowerCase) {
    EXPECT_TRUE(IsFontFileName(L"x.TtF"));
    EXPECT_TRUE(IsFontFileName(L".otf"));
    EXPECT_FALSE(IsFontFileName(L"x.ttc"));
    EXPECT_FALSE(IsFontFileName(L"ttf"));
}
} // namespace
