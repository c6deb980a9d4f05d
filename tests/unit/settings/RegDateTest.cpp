#include "settings/SettingsUnit.h"

#include "unit/fakes/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
using TBytes = std::array<std::uint8_t, 8>;

TEST(RegDate, EncodesLittleEndianDoubles) {
    const struct {
        TDate Date;
        TBytes Bytes;
    } cases[] = {
        {0.0, {0, 0, 0, 0, 0, 0, 0, 0}},         // 1899-12-30 00:00
        {1.0, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},   // 1899-12-31
        {-1.25, {0, 0, 0, 0, 0, 0, 0xF4, 0xBF}}, // 1899-12-29 06:00
        // 45000.5 = 1.0101111110010001b * 2^15: exponent 1023+15 = 0x40E,
        // mantissa 0x5F91000000000, so 0x40E5F91000000000.
        {45000.5, {0, 0, 0, 0, 0x10, 0xF9, 0xE5, 0x40}}, // 2023-03-15 12:00
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeRegDate(c.Date), c.Bytes) << c.Date;
        EXPECT_EQ(DecodeRegDate(c.Bytes), c.Date) << c.Date;
    }
}

TEST(RegDate, OnlyEightBytesOfAFiniteNumberDecode) {
    const std::vector<std::uint8_t> seven(7, 0), nine(9, 0);
    EXPECT_FALSE(DecodeRegDate(seven));
    EXPECT_FALSE(DecodeRegDate(nine));
    EXPECT_FALSE(DecodeRegDate(EncodeRegDate(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_FALSE(DecodeRegDate(EncodeRegDate(std::numeric_limits<double>::infinity())));
}

TEST(RegDate, WriteCreatesTheKeyAndReadsBack) {
    TMemoryRegistry registry;
    EXPECT_EQ(ReadRegDate(registry, L"ShowOffer"), 0.0); // no key
    WriteRegDate(registry, L"ShowOffer", 45000.5);
    const TBytes bytes = {0, 0, 0, 0, 0x10, 0xF9, 0xE5, 0x40};
    EXPECT_EQ(registry.Get(SettingsKey, L"ShowOffer"), TRegValue::OfBinary(bytes));
    EXPECT_EQ(ReadRegDate(registry, L"ShowOffer"), 45000.5);
    EXPECT_EQ(ReadRegDate(registry, L"CheckUpdates"), 0.0); // no value
}

TEST(RegDate, MalformedValuesReadAsZero) {
    TMemoryRegistry registry;
    registry.Put(SettingsKey, L"short", TRegValue::OfBinary(std::vector<std::uint8_t>{1, 2, 3}));
    registry.Put(SettingsKey, L"dword", TRegValue::OfDword(45000));
    registry.Put(SettingsKey, L"text", TRegValue::OfString(L"45000.5"));
    for (auto name : {L"short", L"dword", L"text"})
        EXPECT_EQ(ReadRegDate(registry, name), 0.0);

    registry.ThrowOnOpen = true;
    EXPECT_EQ(ReadRegDate(registry, L"short"), 0.0);
}

TEST(RegDate, WriteFailures) {
    TMemoryRegistry uncreatable;
    uncreatable.Uncreatable.insert(std::wstring(SettingsKey));
    EXPECT_THROW(WriteRegDate(uncreatable, L"ShowOffer", 1.0), ERegistryException);

    TMemoryRegistry unopenable; // exists but cannot be opened: nothing written, no error
    unopenable.Keys[std::wstring(SettingsKey)];
    unopenable.Unopenable.insert(std::wstring(SettingsKey));
    EXPECT_NO_THROW(WriteRegDate(unopenable, L"ShowOffer", 1.0));
    EXPECT_TRUE(unopenable.Log.empty());
}
} // namespace
