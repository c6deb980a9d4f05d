#include "app/CrashReport.h"

#include <gtest/gtest.h>

TEST(CrashReport, DumpNameIsTimeOrderedAndFitsOrFailsWhole) {
    wchar_t buf[64];
    const TCrashTime t{2025, 3, 7, 4, 5, 9};
    const std::size_t n = FormatCrashDumpName(t, 1234, buf);
    EXPECT_EQ(std::wstring(buf), L"Kadrix_2025-03-07_04.05.09_1234.dmp");
    EXPECT_EQ(n, std::wstring(buf).size());
    // One second later sorts after it, whatever the pids.
    wchar_t later[64];
    FormatCrashDumpName({2025, 3, 7, 4, 5, 10}, 7, later);
    EXPECT_LT(std::wstring(buf), std::wstring(later));
    // Exactly the name plus its terminator fits; one less writes nothing.
    wchar_t exact[36], tooShort[35];
    EXPECT_EQ(FormatCrashDumpName(t, 1234, exact), 35u);
    EXPECT_EQ(FormatCrashDumpName(t, 1234, tooShort), 0u);
    EXPECT_EQ(tooShort[0], L'\0');
}

TEST(CrashReport, StartPlanKeepsNewestFiveAndTellsTheNewestUntold) {
    const auto dump = [](int second) {
        return L"Kadrix_2025-03-07_04.05." + std::to_wstring(10 + second) + L"_1.dmp";
    };
    struct TCase {
        const char* Name;
        std::vector<std::wstring> Files, Told;
        std::vector<std::wstring> Remove;
        std::wstring Tell;
        std::vector<std::wstring> ToldAfter;
    } cases[] = {
        {"empty folder", {}, {}, {}, L"", {}},
        {"one new dump", {dump(1)}, {}, {}, dump(1), {dump(1)}},
        {"already told", {dump(1)}, {dump(1)}, {}, L"", {dump(1)}},
        {"two crashes, told once by the newest",
         {dump(1), dump(3), dump(2)},
         {dump(1)},
         {},
         dump(3),
         {dump(3), dump(2), dump(1)}},
        {"a seventh: the two oldest go, the told list forgets them",
         {dump(7), dump(1), dump(2), dump(3), dump(4), dump(5), dump(6)},
         {dump(1), dump(2), dump(3), dump(4), dump(5), dump(6)},
         {dump(2), dump(1)},
         dump(7),
         {dump(7), dump(6), dump(5), dump(4), dump(3)}},
        {"a cut write goes, foreign files stay untouched",
         {dump(1) + L".part", L"notes.txt", L"told.txt", L"Kadrix_.dmp", L"other.dmp.part"},
         {},
         {dump(1) + L".part"},
         L"",
         {}},
    };
    for (const auto& c : cases) {
        const TCrashStartPlan plan = PlanCrashStart(c.Files, c.Told);
        EXPECT_EQ(plan.Remove, c.Remove) << c.Name;
        EXPECT_EQ(plan.Tell, c.Tell) << c.Name;
        EXPECT_EQ(plan.Told, c.ToldAfter) << c.Name;
    }
}

TEST(CrashReport, ToldListRoundTripsAndDropsWhatIsNoDumpName) {
    const std::vector<std::wstring> names{L"Kadrix_2025-03-07_04.05.09_1.dmp",
                                          L"Kadrix_2025-03-07_04.05.10_2.dmp"};
    EXPECT_EQ(ParseToldList(FormatToldList(names)), names);
    EXPECT_EQ(ParseToldList("Kadrix_2025-03-07_04.05.09_1.dmp\n\nx.dmp\nKadrix_\xD0\x99.dmp\r\n"
                            "Kadrix_a b.dmp\nKadrix_2025-03-07_04.05.10_2.dmp"),
              names);
}
