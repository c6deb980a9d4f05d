#include "ImageStore.h"

#include <openssl/rand.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {
constexpr std::size_t IdBytes = 16;

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

class TFd {
public:
    explicit TFd(int fd) : FFd(fd) {}
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    ~TFd() {
        if (FFd >= 0) ::close(FFd);
    }
    int Get() const { return FFd; }
    // Closes now so that a failing close is reported.
    void Close(const std::string& what) {
        const int fd = std::exchange(FFd, -1);
        if (::close(fd) != 0) ThrowErrno(what);
    }

private:
    int FFd;
};
} // namespace

std::string RandomHex(std::size_t bytes) {
    std::string raw(bytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(raw.data()), int(bytes)) != 1)
        throw std::runtime_error("no random bytes from OpenSSL");
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : raw) {
        hex += Digits[c >> 4];
        hex += Digits[c & 15];
    }
    return hex;
}

void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         unsigned mode) {
    const auto folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    const auto temp = folder / ("." + target.filename().string() + "." + RandomHex(8) + ".tmp");
    try {
        TFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (fd.Get() < 0) ThrowErrno("create " + temp.string());
        for (std::size_t done = 0; done < bytes.size();) {
            const auto n = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ThrowErrno("write " + temp.string());
            done += std::size_t(n);
        }
        if (::fsync(fd.Get()) != 0) ThrowErrno("fsync " + temp.string());
        fd.Close("close " + temp.string());
        if (::rename(temp.c_str(), target.c_str()) != 0) ThrowErrno("rename to " + target.string());
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    // The rename itself is durable only once the folder is flushed.
    TFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());
}

TImageStore::TImageStore(std::filesystem::path folder) : FFolder(std::move(folder)) {
    std::filesystem::create_directories(FFolder);
}

std::string TImageStore::Put(std::string_view bytes, TImageFormat format) const {
    const auto name = RandomHex(IdBytes) + std::string(ExtensionOf(format));
    WriteFileAtomically(FFolder / name, bytes);
    return name;
}

std::optional<TImageFormat> TImageStore::FormatOfName(std::string_view name) {
    const auto id = name.substr(0, IdBytes * 2);
    if (name.size() != id.size() + 4 || !std::all_of(id.begin(), id.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        }))
        return std::nullopt;
    for (auto format : {TImageFormat::Png, TImageFormat::Jpeg})
        if (name.substr(id.size()) == ExtensionOf(format)) return format;
    return std::nullopt;
}

std::optional<std::filesystem::path> TImageStore::Find(std::string_view name) const {
    if (!FormatOfName(name)) return std::nullopt;
    auto path = FFolder / std::string(name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    return path;
}
