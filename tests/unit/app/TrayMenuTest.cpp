#include "app/TrayMenu.h"

#include <gtest/gtest.h>

namespace {
TEST(TrayMenu, VisibleItemsInOrderWithSeparators) {
    std::vector<std::wstring> shown;
    for (const auto& item : TrayMenuItems())
        if (item.Visible) shown.push_back(item.IsSeparator() ? L"-" : item.Caption);
    const std::vector<std::wstring> expected = {
        L"Сделать скриншот", L"Записать видео", L"-", L"Настройки",
        L"Оставить отзыв",   L"О программе",    L"-", L"Выход"};
    EXPECT_EQ(shown, expected);
}

TEST(TrayMenu, HiddenItemsExistButStayHidden) {
    int hidden = 0;
    for (const auto& item : TrayMenuItems()) {
        if (item.Visible) continue;
        ++hidden;
        EXPECT_TRUE(item.Command == TTrayCommand::tcSupport ||
                    item.Command == TTrayCommand::tcCheckUpdate);
    }
    EXPECT_EQ(hidden, 2);
}

TEST(TrayMenu, InstallArgumentIsExactAndAlone) {
    EXPECT_TRUE(IsInstallCommandLine({L"/install"}));
    EXPECT_FALSE(IsInstallCommandLine({}));
    EXPECT_FALSE(IsInstallCommandLine({L"/INSTALL"}));
    EXPECT_FALSE(IsInstallCommandLine({L"/install", L"x"}));
    EXPECT_FALSE(IsInstallCommandLine({L" /install"}));
}
} // namespace
