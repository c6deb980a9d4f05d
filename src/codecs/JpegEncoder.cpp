// JPEG through libjpeg-turbo, fed the bitmap's own rows (B, G, R, unused in
// memory) so no converted copy is made. libjpeg reports errors by calling
// error_exit, which must not return: it jumps back to Compress, which then
// throws. Only libjpeg's C frames lie between the two, and every C++ object
// of Compress exists before the jump point, so nothing is skipped.
#include "codecs/ImageEncoder.h"

#include <bit>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <new>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

#include <jerror.h> // needs jpeglib.h first

static_assert(std::endian::native == std::endian::little, "rows are read as B, G, R, X bytes");

namespace {
constexpr std::size_t ChunkBytes = 256 * 1024;

struct TJpegJob {
    jpeg_compress_struct Info{};
    jpeg_error_mgr Error{};
    jpeg_destination_mgr Dest{};
    std::jmp_buf Jump{};
    char Message[JMSG_LENGTH_MAX] = "";
    std::vector<std::uint8_t> Out;
    bool Created = false;

    ~TJpegJob() {
        if (Created) jpeg_destroy_compress(&Info);
    }
};

TJpegJob& JobOf(j_common_ptr info) {
    return *static_cast<TJpegJob*>(info->client_data);
}

[[noreturn]] void ErrorExit(j_common_ptr info) {
    TJpegJob& job = JobOf(info);
    info->err->format_message(info, job.Message);
    std::longjmp(job.Jump, 1);
}

void OutputMessage(j_common_ptr) {} // warnings are not printed to stderr

// The output grows inside a vector, which the job owns whatever happens.
void InitDestination(j_compress_ptr info) {
    TJpegJob& job = JobOf(j_common_ptr(info));
    job.Dest.next_output_byte = job.Out.data();
    job.Dest.free_in_buffer = job.Out.size();
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
    TJpegJob& job = JobOf(j_common_ptr(info));
    const std::size_t used = job.Out.size();
    bool grown = true;
    try {
        job.Out.resize(used * 2);
    } catch (const std::bad_alloc&) {
        grown = false; // never jump out of a handler
    }
    if (!grown) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    job.Dest.next_output_byte = job.Out.data() + used;
    job.Dest.free_in_buffer = job.Out.size() - used;
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    TJpegJob& job = JobOf(j_common_ptr(info));
    job.Out.resize(job.Out.size() - job.Dest.free_in_buffer);
}

// No C++ object may be created between setjmp and the end of this function.
bool Compress(TJpegJob& job, const TBitmap32& bitmap, int quality, JSAMPROW* rows) {
    if (setjmp(job.Jump)) return false;
    jpeg_create_compress(&job.Info);
    job.Created = true;
    job.Info.dest = &job.Dest;
    job.Info.image_width = JDIMENSION(bitmap.Width());
    job.Info.image_height = JDIMENSION(bitmap.Height());
    job.Info.input_components = 4;
    job.Info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&job.Info);
    jpeg_set_quality(&job.Info, quality, TRUE);
    jpeg_start_compress(&job.Info, TRUE);
    while (job.Info.next_scanline < job.Info.image_height)
        jpeg_write_scanlines(&job.Info, rows + job.Info.next_scanline,
                             job.Info.image_height - job.Info.next_scanline);
    jpeg_finish_compress(&job.Info);
    return true;
}
} // namespace

std::vector<std::uint8_t> EncodeJpeg(const TBitmap32& bitmap, int quality) {
    if (bitmap.Empty()) throw std::invalid_argument("JPEG: empty bitmap");
    TJpegJob job;
    job.Info.err = jpeg_std_error(&job.Error);
    job.Error.error_exit = ErrorExit;
    job.Error.output_message = OutputMessage;
    job.Info.client_data = &job;
    job.Dest.init_destination = InitDestination;
    job.Dest.empty_output_buffer = EmptyOutputBuffer;
    job.Dest.term_destination = TermDestination;
    job.Out.resize(ChunkBytes);
    std::vector<JSAMPROW> rows(std::size_t(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y)
        rows[std::size_t(y)] =
            reinterpret_cast<JSAMPROW>(const_cast<TColor32*>(bitmap.Row(y))); // read only
    if (!Compress(job, bitmap, quality, rows.data()))
        throw std::runtime_error(std::string("JPEG: ") + job.Message);
    return std::move(job.Out);
}
