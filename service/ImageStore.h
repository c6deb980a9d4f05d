#pragma once
// Stored images: one file per upload in a single folder, named by a random
// 128-bit id from OpenSSL's CSPRNG in lower-case hex plus the extension
// ("<32 hex>.png" or ".jpg"). Ids cannot be guessed, so a link is the only
// way to an image. Files are written to a temporary name in the same folder,
// flushed to disk and renamed, so a crash never leaves a partial image under
// a served name.
#include "UploadForm.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class TImageStore {
public:
    // Creates the folder if missing.
    explicit TImageStore(std::filesystem::path folder);

    // Stores the bytes and returns the served name "<id><ext>".
    std::string Put(std::string_view bytes, TImageFormat format) const;

    // The file for a served name, or nothing when the name is not of the
    // exact stored form or no such image exists.
    std::optional<std::filesystem::path> Find(std::string_view name) const;

    // The format a served name stands for, or nothing for any other text.
    static std::optional<TImageFormat> FormatOfName(std::string_view name);

    const std::filesystem::path& Folder() const { return FFolder; }

private:
    std::filesystem::path FFolder;
};

// Random bytes from OpenSSL as lower-case hex.
std::string RandomHex(std::size_t bytes);

// Writes a file atomically: temporary file in the same folder, fsync,
// rename over the target, fsync of the folder. mode is the new file's
// permission bits. Throws std::system_error.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         unsigned mode = 0644);
