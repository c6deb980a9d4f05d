// The upload body: three parts and the closing delimiter, read back by a
// small multipart parser of our own. The fields come back byte for byte, the
// text parts are valid quoted-printable, and the delimiter occurs only where
// it separates parts (a boundary found in the image is never used).
#include "FuzzCheck.h"
#include "output/UploadWire.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
struct TPart {
    std::string_view Headers, Content;
};

// RFC 2046: the CR LF before a delimiter belongs to it.
std::vector<TPart> ParseMultipart(std::string_view body, std::string_view boundary) {
    const std::string delimiter = "\r\n--" + std::string(boundary);
    FUZZ_CHECK(body.starts_with(std::string_view(delimiter).substr(2)));
    std::vector<TPart> parts;
    std::size_t pos = delimiter.size() - 2;
    while (!body.substr(pos).starts_with("--")) {
        FUZZ_CHECK(body.substr(pos).starts_with("\r\n"));
        pos += 2;
        const auto next = body.find(delimiter, pos);
        FUZZ_CHECK(next != std::string_view::npos);
        const auto part = body.substr(pos, next - pos);
        const auto split = part.find("\r\n\r\n");
        FUZZ_CHECK(split != std::string_view::npos);
        parts.push_back({part.substr(0, split + 2), part.substr(split + 4)});
        pos = next + delimiter.size();
    }
    FUZZ_CHECK(body.substr(pos) == "--\r\n");
    return parts;
}

int HexValue(char c) {
    FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')); // upper case only
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

// Decodes and checks the shape: lines of at most 76 characters, printable
// ASCII, no blank before a line end, no dot starting a line.
std::string DecodeQuotedPrintable(std::string_view text) {
    std::string out;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (text.substr(i).starts_with("\r\n")) {
            FUZZ_CHECK(i > lineStart && text[i - 1] != ' ' && text[i - 1] != '\t');
            FUZZ_CHECK(i - lineStart <= 76 && text[lineStart] != '.');
            lineStart = i + 2;
            ++i;
        } else if (c == '=') {
            FUZZ_CHECK(i + 2 < text.size());
            if (text.substr(i + 1).starts_with("\r\n")) continue; // soft line break
            out += char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            FUZZ_CHECK((c >= 33 && c <= 126) || c == ' ' || c == '\t');
            out += c;
        }
    }
    FUZZ_CHECK(text.size() - lineStart <= 76 &&
               (lineStart == text.size() || text[lineStart] != '.'));
    return out;
}

void CheckHeaders(std::string_view headers, std::string_view name, std::string_view encoding) {
    FUZZ_CHECK(
        headers.starts_with("Content-Disposition: form-data; name=\"" + std::string(name) + '"'));
    FUZZ_CHECK(
        headers.ends_with("\r\nContent-Transfer-Encoding: " + std::string(encoding) + "\r\n"));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    TLocalTime time;
    time.y = in.ConsumeIntegralInRange(1980, 2107);
    time.m = in.ConsumeIntegralInRange(1, 12);
    time.d = in.ConsumeIntegralInRange(1, 31);
    time.h = in.ConsumeIntegralInRange(0, 23);
    time.n = in.ConsumeIntegralInRange(0, 59);
    time.s = in.ConsumeIntegralInRange(0, 59);
    time.ms = in.ConsumeIntegralInRange(0, 999);
    const std::string text = in.ConsumeRandomLengthString(200);
    std::string userHash;
    for (int i = 0; i < 32; ++i)
        userHash += "0123456789abcdef"[in.ConsumeIntegralInRange(0, 15)];
    const std::string format = in.ConsumeBool() ? ".PNG" : ".JPG";
    const std::string fileName = UploadFileName(in.ConsumeIntegral<std::uint32_t>());
    const std::vector<std::uint8_t> image = in.ConsumeRemainingBytes<std::uint8_t>();

    // Any text through the encoder alone; its output ends with CR LF.
    const std::string encoded = QuotedPrintable(text);
    FUZZ_CHECK(encoded.ends_with("\r\n"));
    FUZZ_CHECK(DecodeQuotedPrintable(std::string_view(encoded).substr(0, encoded.size() - 2)) ==
               text);

    const std::string boundary = MultipartBoundary(time);
    FUZZ_CHECK(boundary.size() == 23 &&
               boundary.find_first_not_of("-0123456789") == std::string::npos);
    FUZZ_CHECK(fileName.size() == 47);
    const std::string dashes = "--" + boundary;
    const bool inImage =
        std::search(image.begin(), image.end(), dashes.begin(), dashes.end()) != image.end();
    FUZZ_CHECK(BoundaryOccursIn(image, boundary) == inImage);
    if (inImage) return 0; // the sender takes another boundary
    const std::string body = BuildUploadBody({boundary, userHash, format, fileName, image});
    const auto parts = ParseMultipart(body, boundary);
    FUZZ_CHECK(parts.size() == 3);
    CheckHeaders(parts[0].Headers, "user_hash", "quoted-printable");
    CheckHeaders(parts[1].Headers, "format", "quoted-printable");
    CheckHeaders(parts[2].Headers, "filescreen", "binary");
    FUZZ_CHECK(parts[2].Headers.find("; filename=\"" + fileName + "\"\r\n") !=
               std::string_view::npos);
    FUZZ_CHECK(DecodeQuotedPrintable(parts[0].Content) == userHash);
    FUZZ_CHECK(DecodeQuotedPrintable(parts[1].Content) == format);
    FUZZ_CHECK(parts[2].Content ==
               std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    return 0;
}
