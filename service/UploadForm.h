#pragma once
// Reading one upload body the way the Kadrix client writes it: a
// multipart/form-data body with the parts "user_hash" and "format" as
// quoted-printable text and "filescreen" as raw image bytes. Plain form
// posts (curl -F, browsers) carry the same three parts unencoded and are
// accepted too. Everything here works on bytes in memory, so it is tested
// without sockets; the server only moves the bytes in and out.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

enum class TImageFormat { Png, Jpeg };

// Lower-case file extension with the dot (".png", ".jpg") and MIME type.
std::string_view ExtensionOf(TImageFormat format);
std::string_view MimeTypeOf(TImageFormat format);

// A refused request: Status is the HTTP status to answer with.
class TUploadError : public std::runtime_error {
public:
    TUploadError(int status, const std::string& message)
        : std::runtime_error(message), Status(status) {}
    int Status;
};

// RFC 2045 quoted-printable: "=XX" in either hex case, "=" CR LF (or a bare
// LF) as a soft break. A "=" followed by anything else is a TUploadError.
std::string DecodeQuotedPrintable(std::string_view text);

// The boundary parameter of a multipart/form-data Content-Type value.
std::string MultipartBoundary(std::string_view contentType);

// One part of the body; the views point into the body given to ParseMultipart.
struct TFormPart {
    std::string Name;
    std::string FileName;
    bool HasFileName = false;
    std::string ContentType;
    std::string TransferEncoding;
    std::string_view Content;
};

std::vector<TFormPart> ParseMultipart(std::string_view body, std::string_view boundary);

// A checked upload; Image points into the body it was read from.
struct TUpload {
    std::string UserHash;
    TImageFormat Format = TImageFormat::Png;
    std::string FileName;
    std::string_view Image;
};

// Parses and checks a whole request body: exactly the parts "user_hash"
// (32 lower-case hex digits), "format" (".PNG" or ".JPG") and "filescreen"
// (a PNG or JPEG signature matching the format, at most maxImageBytes,
// a file name without path). Throws TUploadError (400, 413 or 415).
TUpload ReadUpload(std::string_view contentType, std::string_view body, std::size_t maxImageBytes);
