#pragma once
// The bytes of one upload: a multipart/form-data body built by our own code
// (so the wire format is tested without a network) and the decoding of the
// reply by its charset.
#include "output/SaveRules.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// RFC 2045 quoted-printable, upper-case hex; a soft line break follows once an
// encoded line reaches 70 characters, a dot that would begin a line is
// encoded, and the output ends with CR LF.
std::string QuotedPrintable(std::string_view text);

// "--------" + "mmddyyhhnnsszzz" of the given local time.
std::string MultipartBoundary(const TLocalTime& time);

// True when "--" + boundary occurs in data: a part holding it would end
// early, so the sender takes another boundary.
bool BoundaryOccursIn(std::span<const std::uint8_t> data, std::string_view boundary);

// "TMP_SCREEN_NAME" + the MD5 hex of the decimal number: 47 characters.
std::string UploadFileName(std::uint32_t number);
// A random number below 9999999 for UploadFileName.
std::uint32_t RandomUploadNumber();

struct TUploadParts {
    std::string Boundary;
    std::string UserHash;   // 32 hex digits
    std::string FormatText; // ".PNG" or ".JPG"
    std::string FileName;   // UploadFileName
    std::span<const std::uint8_t> Image;
};

// The three parts (user_hash, format, filescreen) and the closing delimiter.
std::string BuildUploadBody(const TUploadParts& parts);

// "multipart/form-data; boundary=<boundary>"
std::string UploadContentType(std::string_view boundary);

// The reply body as text by the "charset" parameter of its Content-Type:
// UTF-8, windows-1251 or ISO-8859-1; none or an unknown one reads each byte
// as one character (Latin-1).
std::wstring DecodeReplyBody(std::string_view body, std::string_view contentType);
