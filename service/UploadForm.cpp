#include "UploadForm.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::size_t MaxParts = 8;

[[noreturn]] void Refuse(const std::string& message, int status = 400) {
    throw TUploadError(status, message);
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string LowerCopy(std::string_view s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), Lower);
    return r;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

struct TParam {
    std::string Name, Value;
};

// "form-data; name=\"x\"; filename=\"y\"" -> the leading token and the
// parameters in order. A backslash in a quoted value is kept: form posts
// send Windows paths unescaped, and the name check must see them.
std::string ParseParams(std::string_view value, std::vector<TParam>& params) {
    const auto semi = value.find(';');
    std::string head(Trim(value.substr(0, semi)));
    std::size_t i = semi == std::string_view::npos ? value.size() : semi + 1;
    while (i < value.size()) {
        while (i < value.size() && (value[i] == ' ' || value[i] == '\t' || value[i] == ';'))
            ++i;
        if (i >= value.size()) break;
        const auto eq = value.find('=', i);
        if (eq == std::string_view::npos) Refuse("malformed header parameter");
        TParam p{LowerCopy(Trim(value.substr(i, eq - i))), {}};
        i = eq + 1;
        if (i < value.size() && value[i] == '"') {
            for (++i;; ++i) {
                if (i >= value.size()) Refuse("unterminated quoted string");
                if (value[i] == '"') break;
                p.Value += value[i];
            }
            ++i;
        } else {
            const auto end = std::min(value.find(';', i), value.size());
            p.Value = Trim(value.substr(i, end - i));
            i = end;
        }
        params.push_back(std::move(p));
    }
    return head;
}

void ReadPartHeaders(std::string_view headers, TFormPart& part) {
    bool disposition = false;
    while (!headers.empty()) {
        const auto eol = headers.find("\r\n");
        const auto line = headers.substr(0, eol);
        headers = eol == std::string_view::npos ? std::string_view{} : headers.substr(eol + 2);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) Refuse("malformed part header");
        const auto name = Trim(line.substr(0, colon));
        const auto value = Trim(line.substr(colon + 1));
        if (EqualsNoCase(name, "Content-Disposition")) {
            std::vector<TParam> params;
            if (!EqualsNoCase(ParseParams(value, params), "form-data"))
                Refuse("part is not form-data");
            for (auto& p : params) {
                if (p.Name == "name") part.Name = std::move(p.Value);
                if (p.Name == "filename") {
                    part.FileName = std::move(p.Value);
                    part.HasFileName = true;
                }
            }
            disposition = true;
        } else if (EqualsNoCase(name, "Content-Type")) {
            part.ContentType = value;
        } else if (EqualsNoCase(name, "Content-Transfer-Encoding")) {
            part.TransferEncoding = LowerCopy(value);
        }
    }
    if (!disposition) Refuse("part without Content-Disposition");
}

// The text of a form field, decoded by its transfer encoding.
std::string FieldText(const TFormPart& part) {
    const auto& te = part.TransferEncoding;
    if (te == "quoted-printable") return DecodeQuotedPrintable(part.Content);
    if (te.empty() || te == "7bit" || te == "8bit" || te == "binary")
        return std::string(part.Content);
    Refuse("unsupported transfer encoding in part \"" + part.Name + "\"");
}

// The next delimiter line: the separator followed by "--", blanks or CR LF.
// A longer run that merely starts like it belongs to the content.
std::size_t FindDelimiter(std::string_view body, std::string_view separator, std::size_t from) {
    for (;;) {
        const auto at = body.find(separator, from);
        if (at == std::string_view::npos) Refuse("unterminated multipart body");
        const auto after = body.substr(at + separator.size(), 2);
        if (after == "--" || after == "\r\n" || after.starts_with(' ') || after.starts_with('\t'))
            return at;
        from = at + 1;
    }
}

bool SafeFileName(std::string_view name) {
    if (name.size() > 255 || name.find("..") != std::string_view::npos) return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20 ||
               c == 0x7F;
    });
}

bool HasSignature(std::string_view image, TImageFormat format) {
    static constexpr std::string_view Png{"\x89PNG\r\n\x1A\n", 8};
    static constexpr std::string_view Jpeg{"\xFF\xD8\xFF", 3};
    return image.starts_with(format == TImageFormat::Png ? Png : Jpeg);
}
} // namespace

std::string_view ExtensionOf(TImageFormat format) {
    return format == TImageFormat::Png ? ".png" : ".jpg";
}

std::string_view MimeTypeOf(TImageFormat format) {
    return format == TImageFormat::Png ? "image/png" : "image/jpeg";
}

std::string DecodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            out += text[i];
            continue;
        }
        if (text.substr(i + 1, 2) == "\r\n") {
            i += 2;
        } else if (text.substr(i + 1, 1) == "\n") {
            i += 1;
        } else if (i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            out += char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            Refuse("malformed quoted-printable text");
        }
    }
    return out;
}

std::string MultipartBoundary(std::string_view contentType) {
    std::vector<TParam> params;
    if (!EqualsNoCase(ParseParams(contentType, params), "multipart/form-data"))
        Refuse("expected a multipart/form-data body", 415);
    for (const auto& p : params)
        if (p.Name == "boundary" && !p.Value.empty() && p.Value.size() <= 200) return p.Value;
    Refuse("multipart body without boundary");
}

std::vector<TFormPart> ParseMultipart(std::string_view body, std::string_view boundary) {
    const std::string delimiter = "--" + std::string(boundary);
    const std::string separator = "\r\n" + delimiter;
    std::size_t pos = 0;
    if (!body.starts_with(delimiter)) {
        pos = body.find(separator);
        if (pos == std::string_view::npos) Refuse("no multipart delimiter in body");
        pos += 2;
    }
    std::vector<TFormPart> parts;
    for (;;) {
        pos += delimiter.size();
        if (body.substr(pos, 2) == "--") return parts;
        while (pos < body.size() && (body[pos] == ' ' || body[pos] == '\t'))
            ++pos;
        if (body.substr(pos, 2) != "\r\n") Refuse("malformed multipart delimiter");
        pos += 2;
        if (parts.size() == MaxParts) Refuse("too many parts");

        std::size_t contentStart;
        TFormPart part;
        if (body.substr(pos, 2) == "\r\n") {
            contentStart = pos + 2;
        } else {
            const auto headEnd = body.find("\r\n\r\n", pos);
            if (headEnd == std::string_view::npos) Refuse("unterminated part headers");
            ReadPartHeaders(body.substr(pos, headEnd - pos), part);
            contentStart = headEnd + 4;
        }
        const auto next = FindDelimiter(body, separator, contentStart);
        part.Content = body.substr(contentStart, next - contentStart);
        parts.push_back(std::move(part));
        pos = next + 2;
    }
}

TUpload ReadUpload(std::string_view contentType, std::string_view body, std::size_t maxImageBytes) {
    const auto parts = ParseMultipart(body, MultipartBoundary(contentType));
    static constexpr std::array<std::string_view, 3> Names{"user_hash", "format", "filescreen"};
    std::array<const TFormPart*, 3> found{};
    for (const auto& part : parts) {
        const auto it = std::find(Names.begin(), Names.end(), part.Name);
        if (it == Names.end()) Refuse("unexpected part \"" + part.Name + "\"");
        auto& slot = found[std::size_t(it - Names.begin())];
        if (slot) Refuse("part \"" + part.Name + "\" given twice");
        slot = &part;
    }
    for (std::size_t i = 0; i < Names.size(); ++i)
        if (!found[i]) Refuse("missing part \"" + std::string(Names[i]) + "\"");

    TUpload upload;
    upload.UserHash = FieldText(*found[0]);
    if (upload.UserHash.size() != 32 ||
        !std::all_of(upload.UserHash.begin(), upload.UserHash.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }))
        Refuse("user_hash is not 32 lower-case hex digits");

    const auto format = FieldText(*found[1]);
    if (EqualsNoCase(format, ".PNG"))
        upload.Format = TImageFormat::Png;
    else if (EqualsNoCase(format, ".JPG"))
        upload.Format = TImageFormat::Jpeg;
    else
        Refuse("unknown format");

    const auto& file = *found[2];
    const auto& te = file.TransferEncoding;
    if (!te.empty() && te != "binary" && te != "8bit") Refuse("filescreen must be sent as binary");
    if (file.HasFileName && (file.FileName.empty() || !SafeFileName(file.FileName)))
        Refuse("bad file name");
    if (file.Content.size() > maxImageBytes) Refuse("image too large", 413);
    if (!HasSignature(file.Content, upload.Format)) Refuse("image does not match its format");
    upload.FileName = file.FileName;
    upload.Image = file.Content;
    return upload;
}
