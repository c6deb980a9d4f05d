// PNG with deflate spread over threads: the filtered rows are cut into fixed
// slices of whole rows, each deflated on its own (raw deflate, primed with the
// 32 KiB of filtered rows before it, ended on a byte boundary with a sync
// flush, the last one finished), and the pieces joined behind one zlib header
// with the combined Adler-32. Slices depend only on the source rows, so they
// run in any order on any thread and the output is the same for every count.
#include "codecs/ImageEncoder.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <zlib.h>

namespace {
constexpr int Level = 7;
constexpr std::size_t Window = 32768;
// Big enough that the flush at each end costs well under 0.1 % of the size,
// small enough that a 1080p frame still gives every core several slices.
constexpr std::size_t SliceBytes = 512 * 1024;
constexpr std::size_t MaxIdat = 65535;

std::size_t RowBytes(int width) {
    return 1 + 3 * std::size_t(width);
}

void FilterRow(const TColor32* src, int width, std::uint8_t* dst) {
    *dst++ = 1; // Sub
    std::uint8_t pr = 0, pg = 0, pb = 0;
    for (int x = 0; x < width; ++x) {
        const std::uint8_t r = RedOf(src[x]), g = GreenOf(src[x]), b = BlueOf(src[x]);
        dst[0] = std::uint8_t(r - pr);
        dst[1] = std::uint8_t(g - pg);
        dst[2] = std::uint8_t(b - pb);
        dst += 3;
        pr = r, pg = g, pb = b;
    }
}

class TDeflater {
public:
    TDeflater() {
        if (deflateInit2(&FStream, Level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("PNG: deflate cannot start");
    }
    ~TDeflater() { deflateEnd(&FStream); }
    TDeflater(const TDeflater&) = delete;
    TDeflater& operator=(const TDeflater&) = delete;
    z_stream* operator->() { return &FStream; }
    z_stream* get() { return &FStream; }

private:
    z_stream FStream{};
};

struct TSlice {
    int FirstRow = 0, EndRow = 0;
    std::vector<std::uint8_t> Packed;
    uLong Adler = 1;
    std::size_t RawSize = 0;
};

// The calling thread's own deflater and buffers, reused from slice to slice
// (fresh buffers per slice cost about as much in page faults as the copy).
struct TPacker {
    TDeflater Z;
    std::vector<std::uint8_t> Raw, Out;
};

void PackSlice(const TBitmap32& bitmap, TSlice& slice, bool last, TPacker& packer) {
    TDeflater& z = packer.Z;
    std::vector<std::uint8_t>& raw = packer.Raw;
    std::vector<std::uint8_t>& out = packer.Out;
    const int width = bitmap.Width();
    const std::size_t rowBytes = RowBytes(width);
    const int primeRows = std::min<int>(slice.FirstRow, int((Window + rowBytes - 1) / rowBytes));
    const int first = slice.FirstRow - primeRows;
    raw.resize(std::size_t(slice.EndRow - first) * rowBytes);
    for (int y = first; y < slice.EndRow; ++y)
        FilterRow(bitmap.Row(y), width, raw.data() + std::size_t(y - first) * rowBytes);

    const std::uint8_t* data = raw.data() + std::size_t(primeRows) * rowBytes;
    slice.RawSize = raw.size() - std::size_t(primeRows) * rowBytes;
    slice.Adler = adler32(1, data, uInt(slice.RawSize));

    if (deflateReset(z.get()) != Z_OK) throw std::runtime_error("PNG: deflate reset failed");
    const std::size_t dictBytes = std::min(Window, std::size_t(primeRows) * rowBytes);
    if (dictBytes && deflateSetDictionary(z.get(), data - dictBytes, uInt(dictBytes)) != Z_OK)
        throw std::runtime_error("PNG: deflate dictionary refused");
    // The bound covers a finished stream; the sync flush adds a few bytes.
    out.resize(std::max<std::size_t>(out.size(), deflateBound(z.get(), uLong(slice.RawSize)) + 64));
    z->next_in = const_cast<Bytef*>(data);
    z->avail_in = uInt(slice.RawSize);
    std::size_t done = 0;
    for (;;) {
        z->next_out = out.data() + done;
        z->avail_out = uInt(out.size() - done);
        const int ret = deflate(z.get(), last ? Z_FINISH : Z_SYNC_FLUSH);
        if (ret != Z_OK && ret != Z_STREAM_END && ret != Z_BUF_ERROR)
            throw std::runtime_error("PNG: deflate failed");
        done = out.size() - z->avail_out;
        if (last ? ret == Z_STREAM_END : z->avail_in == 0 && z->avail_out != 0) break;
        out.resize(out.size() * 2);
    }
    slice.Packed.assign(out.begin(), out.begin() + std::ptrdiff_t(done));
}

// Runs PackSlice for every slice on up to `threads` threads, this one
// included; the first failure is rethrown here once all have stopped.
void PackSlices(const TBitmap32& bitmap, std::vector<TSlice>& slices, unsigned threads) {
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        try {
            TPacker packer;
            for (std::size_t i; (i = next++) < slices.size();)
                PackSlice(bitmap, slices[i], i + 1 == slices.size(), packer);
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
            next = slices.size();
        }
    };
    {
        std::vector<std::jthread> helpers;
        helpers.reserve(threads);
        for (unsigned t = 1; t < threads; ++t) {
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error&) {
                break; // fewer threads only means slower
            }
        }
        work();
    }
    if (failure) std::rethrow_exception(failure);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

// Appends chunk payload bytes, closing an IDAT whenever it is full.
class TIdatWriter {
public:
    explicit TIdatWriter(std::vector<std::uint8_t>& out) : FOut(out) {}

    void Add(const std::uint8_t* data, std::size_t size) {
        while (size > 0) {
            if (FChunkStart == NoChunk) Open();
            const std::size_t room = MaxIdat - (FOut.size() - FChunkStart - 8);
            const std::size_t n = std::min(room, size);
            FOut.insert(FOut.end(), data, data + n);
            data += n, size -= n;
            if (n == room) Close();
        }
    }
    void Finish() {
        if (FChunkStart != NoChunk) Close();
    }

private:
    static constexpr std::size_t NoChunk = SIZE_MAX;

    void Open() {
        FChunkStart = FOut.size();
        FOut.insert(FOut.end(), {0, 0, 0, 0, 'I', 'D', 'A', 'T'});
    }
    void Close() {
        const std::size_t length = FOut.size() - FChunkStart - 8;
        for (int i = 0; i < 4; ++i)
            FOut[FChunkStart + i] = std::uint8_t(length >> (24 - 8 * i));
        const uLong crc = crc32(0, FOut.data() + FChunkStart + 4, uInt(length + 4));
        Put32(FOut, std::uint32_t(crc));
        FChunkStart = NoChunk;
    }

    std::vector<std::uint8_t>& FOut;
    std::size_t FChunkStart = NoChunk;
};

void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
              std::initializer_list<std::uint8_t> data) {
    Put32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data);
    Put32(out, std::uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}
} // namespace

std::vector<std::uint8_t> EncodePng(const TBitmap32& bitmap, unsigned threads) {
    const int w = bitmap.Width(), h = bitmap.Height();
    if (bitmap.Empty()) throw std::invalid_argument("PNG: empty bitmap");
    const std::size_t rowBytes = RowBytes(w);
    if (rowBytes > UINT_MAX / 4) throw std::length_error("PNG: rows too wide");

    const int rowsPerSlice = int(std::clamp<std::size_t>(SliceBytes / rowBytes, 1, std::size_t(h)));
    std::vector<TSlice> slices;
    for (int y = 0; y < h; y += rowsPerSlice) {
        slices.emplace_back();
        slices.back().FirstRow = y;
        slices.back().EndRow = y + std::min(rowsPerSlice, h - y);
    }
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    PackSlices(bitmap, slices, unsigned(std::min<std::size_t>(threads, slices.size())));

    std::size_t packed = 0;
    for (const TSlice& s : slices)
        packed += s.Packed.size();
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.reserve(64 + packed + packed / MaxIdat * 12);
    const auto b = [](std::uint32_t v, int shift) { return std::uint8_t(v >> shift); };
    const std::uint32_t uw = std::uint32_t(w), uh = std::uint32_t(h);
    PutChunk(out, "IHDR",
             {b(uw, 24), b(uw, 16), b(uw, 8), b(uw, 0), b(uh, 24), b(uh, 16), b(uh, 8), b(uh, 0), 8,
              2, 0, 0, 0});

    TIdatWriter idat(out);
    const std::uint8_t header[2] = {0x78, 0xDA}; // deflate, 32 KiB window, level 7 and up
    idat.Add(header, 2);
    uLong adler = 1;
    for (const TSlice& s : slices) {
        idat.Add(s.Packed.data(), s.Packed.size());
        adler = adler32_combine(adler, s.Adler, z_off_t(s.RawSize));
    }
    const std::uint8_t trailer[4] = {b(adler, 24), b(adler, 16), b(adler, 8), b(adler, 0)};
    idat.Add(trailer, 4);
    idat.Finish();
    PutChunk(out, "IEND", {});
    return out;
}
