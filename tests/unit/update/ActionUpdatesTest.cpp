#include "update/ActionUpdates.h"
#include "unit/fakes/MemoryRegistry.h"
#include "unit/fakes/Utf16File.h"

#include <clocale>
#include <gtest/gtest.h>

namespace {
TEST(UpdateFile, DecodeUpdateText) {
    const struct {
        std::string Bytes;
        std::wstring Text;
    } cases[] = {
        {"", L""},
        {"\xFF\xFE", L""},                           // mark only
        {"\xFF", L""},                               // less than a mark
        {Utf16File(L"2.16\r\n") + "x", L"2.16\r\n"}, // odd last byte dropped
        {Utf16File(L"Версия"), L"Версия"},
        {std::string("\0\0A\0B", 5), L"A"}, // the mark's value is ignored
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeUpdateText(c.Bytes), c.Text) << c.Bytes.size() << " bytes";
}

TEST(UpdateFile, VersionTable) {
    const struct {
        std::wstring File;
        bool Shown;
    } cases[] = {
        {L"2.15\r\nx\r\ny\r\n", false}, {L"  2.15 \r\nx\r\ny", false},
        {L"2.16\r\nx\r\ny", true},      {L"2.2\nx\ny", true},
        {L"2.14\rx\ry", false},         {L"2.150\r\nx\r\ny", false},
        {L"2,16\r\nx\r\ny", false},     {L"v2.16\r\nx\r\ny", false},
        {L"2.16\r\nx\r\n", false},      {L"", false},
        {L" 2.16 \r\nx\r\ny", true},    {L"3\r\n\r\n\r\n", true},
    };
    for (const auto& c : cases) {
        const auto line = NewerVersionLine(c.File, L"2.15");
        EXPECT_EQ(line.has_value(), c.Shown) << std::string(c.File.begin(), c.File.end());
        if (line) {
            EXPECT_EQ(*line, SplitLines(c.File)[0]); // shown unchanged
        }
    }
}

TEST(UpdateFile, DotIsThePointWhateverTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    bool comma = false;
    for (const char* name : {"ru_RU.UTF-8", "de_DE.UTF-8", "Russian_Russia.1251", "German"})
        if (std::setlocale(LC_NUMERIC, name)) {
            comma = *std::localeconv()->decimal_point == ',';
            if (comma) break;
        }
    EXPECT_EQ(ReadDotNumber(L"2.16"), 2.16f);
    EXPECT_EQ(ReadDotNumber(L"2,16"), std::nullopt);
    EXPECT_TRUE(NewerVersionLine(L"2.16\r\na\r\nb", L"2.15").has_value());
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma installed";
}

TEST(UpdateSchedule, FiveDayRule) {
    constexpr TDate Now = 46082.5; // 1 March 2026, noon
    const struct {
        std::optional<TDate> Last;
        bool Due;
    } cases[] = {
        {std::nullopt, true}, {Now - 4 - 23.0 / 24, false}, {Now - 5, true},
        {Now + 5, true},      {Now + 4.9, false},           {Now, false},
    };
    for (const auto& c : cases) {
        TMemoryRegistry registry;
        if (c.Last) WriteRegDate(registry, CheckUpdatesValue, *c.Last);
        EXPECT_EQ(UpdateCheckDue(registry, Now), c.Due) << (c.Last ? Now - *c.Last : -1);
    }
    TMemoryRegistry damaged;
    damaged.Put(SettingsKey, CheckUpdatesValue, TRegValue::OfDword(7));
    EXPECT_TRUE(UpdateCheckDue(damaged, Now)); // wrong type counts as missing
    TMemoryRegistry locked;
    locked.Uncreatable.insert(std::wstring(SettingsKey));
    EXPECT_FALSE(UpdateCheckDue(locked, Now));
}
} // namespace
