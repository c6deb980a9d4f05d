// Raw registry values as a damaged or hand-edited key hands them over: any
// type number, any bytes. Decoding never fails; a string holds no NUL and at
// most one unit per two bytes; what the program writes reads back as written.
#include "FuzzCheck.h"
#include "settings/Registry.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace {
std::vector<std::uint8_t> Utf16le(const std::wstring& text) {
    std::vector<std::uint8_t> bytes;
    for (const wchar_t unit : text) {
        bytes.push_back(std::uint8_t(unit));
        bytes.push_back(std::uint8_t(std::uint32_t(unit) >> 8));
    }
    bytes.insert(bytes.end(), {0, 0});
    return bytes;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Mostly the types the program knows, now and then any other number.
    const std::uint32_t type = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, 5)
                                                : in.ConsumeIntegral<std::uint32_t>();
    const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
    const TRegValue value = TRegValue::FromRaw(type, bytes);
    switch (value.Kind) {
    case TRegValue::TKind::Dword:
        FUZZ_CHECK(type == TRegValue::RegDword && bytes.size() == 4);
        break;
    case TRegValue::TKind::String: {
        FUZZ_CHECK(type == TRegValue::RegSz || type == TRegValue::RegExpandSz);
        FUZZ_CHECK(value.String.size() <= bytes.size() / 2);
        FUZZ_CHECK(value.String.find(L'\0') == std::wstring::npos);
        for (const wchar_t unit : value.String)
            FUZZ_CHECK(std::uint32_t(unit) <= 0xFFFF);
        // What a save writes (terminated UTF-16LE) comes back unchanged.
        FUZZ_CHECK(TRegValue::FromRaw(type, Utf16le(value.String)) == value);
        break;
    }
    case TRegValue::TKind::Binary:
        FUZZ_CHECK(type == TRegValue::RegBinary && value.Binary == bytes);
        break;
    case TRegValue::TKind::Other:
        FUZZ_CHECK(type != TRegValue::RegBinary && type != TRegValue::RegSz &&
                   type != TRegValue::RegExpandSz &&
                   (type != TRegValue::RegDword || bytes.size() != 4));
        break;
    }
    return 0;
}
