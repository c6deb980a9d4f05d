#include "output/UploadWire.h"

#include "support/Utilities.h"

#include <random>

std::string QuotedPrintable(std::string_view text) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3 + 2);
    std::size_t lineLength = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool last = i + 1 == text.size();
        // A leading dot is encoded: a line of "." alone ends an SMTP message.
        const bool plain = (c >= 33 && c <= 126 && c != '=' && !(c == '.' && lineLength == 0)) ||
                           ((c == ' ' || c == '\t') && !last);
        if (plain) {
            out += static_cast<char>(c);
            ++lineLength;
        } else {
            out += '=';
            out += Hex[c >> 4];
            out += Hex[c & 0xF];
            lineLength += 3;
        }
        if (lineLength >= 70 && !last) {
            out += "=\r\n";
            lineLength = 0;
        }
    }
    out += "\r\n";
    return out;
}

namespace {
void AppendDigits(std::string& out, int value, int digits) {
    std::string part(digits, '0');
    for (int i = digits - 1; i >= 0; --i, value /= 10)
        part[i] = static_cast<char>('0' + value % 10);
    out += part;
}
} // namespace

std::string MultipartBoundary(const TLocalTime& t) {
    std::string boundary = "--------";
    AppendDigits(boundary, t.m, 2);
    AppendDigits(boundary, t.d, 2);
    AppendDigits(boundary, t.y % 100, 2);
    AppendDigits(boundary, t.h, 2);
    AppendDigits(boundary, t.n, 2);
    AppendDigits(boundary, t.s, 2);
    AppendDigits(boundary, t.ms, 3);
    return boundary;
}

bool BoundaryOccursIn(std::span<const std::uint8_t> data, std::string_view boundary) {
    const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
    return bytes.find("--" + std::string(boundary)) != std::string_view::npos;
}

std::string UploadFileName(std::uint32_t number) {
    return "TMP_SCREEN_NAME" + WideToUtf8(Md5Hex(std::to_wstring(number)));
}

std::uint32_t RandomUploadNumber() {
    thread_local std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<std::uint32_t>{0, 9999998}(generator);
}

namespace {
void AppendPartHeader(std::string& body, std::string_view boundary, std::string_view name,
                      std::string_view fileName, std::string_view type, std::string_view encoding) {
    body += "--";
    body += boundary;
    body += "\r\nContent-Disposition: form-data; name=\"";
    body += name;
    body += '"';
    if (!fileName.empty()) {
        body += "; filename=\"";
        body += fileName;
        body += '"';
    }
    body += "\r\nContent-Type: ";
    body += type;
    body += "\r\nContent-Transfer-Encoding: ";
    body += encoding;
    body += "\r\n\r\n";
}
} // namespace

std::string BuildUploadBody(const TUploadParts& parts) {
    std::string body;
    body.reserve(parts.Image.size() + 600);
    AppendPartHeader(body, parts.Boundary, "user_hash", {}, "text/plain", "quoted-printable");
    body += QuotedPrintable(parts.UserHash);
    AppendPartHeader(body, parts.Boundary, "format", {}, "text/plain", "quoted-printable");
    body += QuotedPrintable(parts.FormatText);
    AppendPartHeader(body, parts.Boundary, "filescreen", parts.FileName, "application/octet-stream",
                     "binary");
    body.append(reinterpret_cast<const char*>(parts.Image.data()), parts.Image.size());
    body += "\r\n--";
    body += parts.Boundary;
    body += "--\r\n";
    return body;
}

std::string UploadContentType(std::string_view boundary) {
    return "multipart/form-data; boundary=" + std::string(boundary);
}

namespace {
std::string Lower(std::string_view text) {
    std::string out(text);
    for (auto& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string CharsetOf(std::string_view contentType) {
    std::size_t start = contentType.find(';');
    while (start != std::string_view::npos) {
        const auto end = contentType.find(';', start + 1);
        const auto param = Trim(contentType.substr(start + 1, end - start - 1));
        const auto eq = param.find('=');
        if (eq != std::string_view::npos && Lower(Trim(param.substr(0, eq))) == "charset") {
            auto value = Trim(param.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return Lower(value);
        }
        start = end;
    }
    return {};
}

// windows-1251 from 0x80 to 0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr char16_t Cp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
} // namespace

std::wstring DecodeReplyBody(std::string_view body, std::string_view contentType) {
    const auto charset = CharsetOf(contentType);
    if (charset == "utf-8" || charset == "utf8") return Utf8ToWide(body);
    std::wstring text;
    text.reserve(body.size());
    const bool cp1251 = charset == "windows-1251" || charset == "cp1251" || charset == "x-cp1251" ||
                        charset == "win-1251";
    for (const char ch : body) {
        const auto c = static_cast<unsigned char>(ch);
        if (!cp1251 || c < 0x80)
            text += static_cast<wchar_t>(c);
        else if (c >= 0xC0)
            text += static_cast<wchar_t>(0x0410 + (c - 0xC0));
        else
            text += static_cast<wchar_t>(Cp1251High[c - 0x80]);
    }
    return text;
}
