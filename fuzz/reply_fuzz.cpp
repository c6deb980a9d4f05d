// Upload replies: any bytes under any Content-Type, decoded as the worker
// decodes them and read as the panel reads them. A link comes only out of a
// JSON object whose "error" is empty and whose "screen_link" is not.
#include "FuzzCheck.h"
#include "output/SaveRules.h"
#include "output/UploadWire.h"
#include "support/Utilities.h"

#include <nlohmann/json.hpp>

#include <string_view>

namespace {
// Missing and null read as empty, strings as themselves, the rest as JSON.
std::string Member(const nlohmann::json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end() || it->is_null()) return {};
    return it->is_string() ? it->get<std::string>() : it->dump();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first line is the Content-Type header's value, the rest the body.
    const auto eol = input.find('\n');
    const auto contentType =
        eol == std::string_view::npos ? std::string_view() : input.substr(0, eol);
    const auto body = eol == std::string_view::npos ? input : input.substr(eol + 1);

    const std::wstring text = DecodeReplyBody(body, contentType);
    // One character per byte at most, and one per byte when no charset is named.
    FUZZ_CHECK(text.size() <= body.size());
    if (contentType.find('=') == std::string_view::npos) {
        FUZZ_CHECK(text.size() == body.size());
        for (std::size_t i = 0; i < body.size(); ++i)
            FUZZ_CHECK(text[i] == wchar_t(static_cast<unsigned char>(body[i])));
    }
    for (const wchar_t c : text)
        FUZZ_CHECK(std::uint32_t(c) <= 0x10FFFF);

    const TUploadReply reply = ReadUploadReply(text);
    const auto json = nlohmann::json::parse(WideToUtf8(text), nullptr, false);
    const bool success = !json.is_discarded() && json.is_object() &&
                         Member(json, "error").empty() && !Member(json, "screen_link").empty();
    FUZZ_CHECK(reply.Ok == success);
    FUZZ_CHECK(reply.Ok != reply.Link.empty());
    if (reply.Ok) {
        FUZZ_CHECK(reply.Link == Utf8ToWide(Member(json, "screen_link")));
        // Numbers may be written back longer ("1e2" is "100.0"), never without bound.
        FUZZ_CHECK(reply.Link.size() <= 2 * text.size());
    }
    return 0;
}
