// The update file: any bytes decoded as UTF-16 LE behind a two-byte mark,
// split into lines, and its first line read as a version against ours and
// against a version taken from the input.
#include "FuzzCheck.h"
#include "support/Utilities.h"
#include "update/ActionUpdates.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {
// The reference reading: the standard library's, once the text has the one
// shape the updater accepts (sign, digits, at most one dot, a digit somewhere).
std::optional<double> ReferenceNumber(std::wstring_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == L'+' || text[0] == L'-')) {
        negative = text[0] == L'-';
        text.remove_prefix(1);
    }
    std::string plain;
    bool dot = false, digit = false;
    for (const wchar_t c : text) {
        if (c == L'.' && !dot) {
            dot = true;
            plain += plain.empty() ? "0." : ".";
        } else if (c >= L'0' && c <= L'9') {
            digit = true;
            plain += char(c);
        } else {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;
    if (plain.back() == '.') plain += '0';
    double value = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    FUZZ_CHECK(end == plain.data() + plain.size());
    // Out of range: too large with a non-zero digit before the point, else too small.
    if (ec == std::errc::result_out_of_range)
        value = plain.find_first_not_of('0') < plain.find('.') ? HUGE_VAL : 0;
    return negative ? -value : value;
}

void CheckNumber(std::wstring_view text) {
    const auto got = ReadDotNumber(text);
    const auto want = ReferenceNumber(text);
    if (got) FUZZ_CHECK(want && std::isfinite(*got));
    if (!want) return;
    const double magnitude = std::fabs(*want);
    if (magnitude < 3.3e38) {
        FUZZ_CHECK(got && std::fabs(*got - *want) <= 1e-5 * magnitude + 1e-30);
    } else if (magnitude > 3.5e38) {
        FUZZ_CHECK(!got); // beyond float: no number rather than infinity
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring text = DecodeUpdateText(bytes);
    FUZZ_CHECK(text.size() == (size <= 2 ? 0 : (size - 2) / 2));
    for (std::size_t i = 0; i < text.size(); ++i)
        FUZZ_CHECK(std::uint32_t(text[i]) == data[2 + 2 * i] + 256u * data[3 + 2 * i]);

    // The lines are the text between breaks (CR LF, CR or LF), a last break
    // opening no line.
    std::wstring unbroken;
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\r' && text[i] != L'\n') {
            unbroken += text[i];
            continue;
        }
        ++breaks;
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    }
    const auto lines = SplitLines(text);
    std::wstring joined;
    for (const auto& line : lines)
        joined += line;
    const bool open = !text.empty() && text.back() != L'\r' && text.back() != L'\n';
    FUZZ_CHECK(joined == unbroken && lines.size() == breaks + (open ? 1 : 0));
    if (!lines.empty()) CheckNumber(lines[0]);

    // Our own version, then the second line standing in for it.
    for (const std::wstring_view own :
         {ProductConstants::Version, lines.size() > 1 ? std::wstring_view(lines[1]) : L""}) {
        const auto newer = NewerVersionLine(text, own);
        if (!newer) continue;
        FUZZ_CHECK(lines.size() >= 3 && *newer == lines[0]);
        const auto remote = ReadDotNumber(lines[0]);
        FUZZ_CHECK(remote && *remote > ReadDotNumber(own).value_or(1.0f));
    }
    return 0;
}
