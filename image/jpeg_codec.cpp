// jpeg_codec.cpp: JPEG files read and written through libjpeg-turbo.
//
// libjpeg reports errors by calling error_exit, which must not return: it
// longjmps back to a setjmp. Every libjpeg call therefore happens inside the
// plain functions below (RunHeader, RunPixels, RunCompress), which hold no
// object with a destructor and touch only plain data and buffers allocated
// before them. libjpeg's messages are never printed.
//
// Reading gives djpeg's pixels with its default settings: the slow integer
// IDCT, fancy upsampling; CMYK and YCCK (Adobe's inverted samples) become RGB
// as djpeg writes them to a PPM. A file that ends before its EOI marker is
// refused, and so is a file with more than kMaxScans scans, which could
// otherwise keep the decoder busy for a very long time.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "image/exif.h"
#include "image/image.h"
#include "image/page_hint.h"
#include "image/pixel_decoders.h"
#include "image/safe_file.h"

namespace mirlan {

namespace {

constexpr int kMaxScans = 1000;
constexpr size_t kBlockBytes = size_t(1) << 16;
constexpr int kMaxRowsAtOnce = 16;  // libjpeg hands out at most 4 (rec_outbuf_height)

// Everything a libjpeg call can reach: plain data only.
struct JpegJob {
    jpeg_decompress_struct cinfo;
    jpeg_compress_struct cout;
    jpeg_error_mgr errors;
    jpeg_source_mgr source;
    jpeg_destination_mgr destination;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    ByteSource *file;
    size_t at;
    SafeFileWriter *out;
    unsigned char *block;
    bool tooManyScans;
    bool created;
};

JpegJob *JobOf(j_common_ptr c) { return static_cast<JpegJob *>(c->client_data); }

void ErrorExit(j_common_ptr c) { std::longjmp(JobOf(c)->jump, 1); }

void Fail(j_common_ptr c, int code)
{
    c->err->msg_code = code;
    ErrorExit(c);
}
void Silent(j_common_ptr) {}
void SilentLevel(j_common_ptr, int) {}

void StopAfterTooManyScans(j_common_ptr c)
{
    if (c->is_decompressor && reinterpret_cast<j_decompress_ptr>(c)->input_scan_number > kMaxScans) {
        JobOf(c)->tooManyScans = true;
        Fail(c, JERR_BAD_PROGRESSION);
    }
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// The next block of the file; a file that ends before libjpeg is done is an error.
boolean FillInput(j_decompress_ptr c)
{
    JpegJob *job = JobOf(reinterpret_cast<j_common_ptr>(c));
    const size_t left = job->file->Size() - job->at;
    const size_t n = left < kBlockBytes ? left : kBlockBytes;
    const unsigned char *p = n ? job->file->Get(job->at, n) : nullptr;
    if (!p)
        Fail(reinterpret_cast<j_common_ptr>(c), JERR_INPUT_EOF);
    job->at += n;
    c->src->next_input_byte = p;
    c->src->bytes_in_buffer = n;
    return TRUE;
}

void SkipInput(j_decompress_ptr c, long count)
{
    if (count <= 0)
        return;
    JpegJob *job = JobOf(reinterpret_cast<j_common_ptr>(c));
    const size_t skip = size_t(count);
    if (skip <= c->src->bytes_in_buffer) {
        c->src->next_input_byte += skip;
        c->src->bytes_in_buffer -= skip;
        return;
    }
    const size_t beyond = skip - c->src->bytes_in_buffer, left = job->file->Size() - job->at;
    job->at += beyond < left ? beyond : left;
    c->src->bytes_in_buffer = 0;
}

void InitErrors(JpegJob *job, j_common_ptr c)
{
    c->err = jpeg_std_error(&job->errors);
    job->errors.error_exit = ErrorExit;
    job->errors.output_message = Silent;
    job->errors.emit_message = SilentLevel;
}

// Creates the decompressor and reads the header; false on any error.
bool RunHeader(JpegJob *job)
{
    if (setjmp(job->jump))
        return false;
    jpeg_decompress_struct *c = &job->cinfo;
    InitErrors(job, reinterpret_cast<j_common_ptr>(c));
    c->client_data = job;
    jpeg_create_decompress(c);
    job->created = true;
    job->source = {nullptr, 0, InitSource, FillInput, SkipInput, jpeg_resync_to_restart, TermSource};
    c->src = &job->source;
    job->progress.progress_monitor = StopAfterTooManyScans;
    c->progress = &job->progress;
    jpeg_save_markers(c, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(c, TRUE);
    if (c->jpeg_color_space == JCS_CMYK || c->jpeg_color_space == JCS_YCCK)
        c->out_color_space = JCS_CMYK;
    jpeg_calc_output_dimensions(c);
    return true;
}

// CMYK rows as djpeg writes them to a PPM: each of C, M, Y times K / 255,
// rounded (libjpeg gives Adobe's inverted samples as they are).
void CmykToRgb(const unsigned char *src, unsigned char *dst, size_t pixels)
{
    for (size_t i = 0; i < pixels; ++i, src += 4, dst += 3) {
        const unsigned k = src[3];
        for (int c = 0; c < 3; ++c)
            dst[c] = static_cast<unsigned char>((src[c] * k + 127) / 255);
    }
}

// Decodes every row into pixels (rowBytes a row), through the scratch rows
// cmyk (kMaxRowsAtOnce rows of 4 bytes a pixel) when the file is CMYK.
bool RunPixels(JpegJob *job, unsigned char *pixels, size_t rowBytes, unsigned char *cmyk)
{
    if (setjmp(job->jump))
        return false;
    jpeg_decompress_struct *c = &job->cinfo;
    jpeg_start_decompress(c);
    const size_t width = c->output_width;
    while (c->output_scanline < c->output_height) {
        JSAMPROW rows[kMaxRowsAtOnce];
        const JDIMENSION first = c->output_scanline;
        JDIMENSION n = c->output_height - first;
        if (n > kMaxRowsAtOnce)
            n = kMaxRowsAtOnce;
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = cmyk ? cmyk + i * 4 * width : pixels + (first + i) * rowBytes;
        const JDIMENSION got = jpeg_read_scanlines(c, rows, n);
        for (JDIMENSION i = 0; cmyk && i < got; ++i)
            CmykToRgb(rows[i], pixels + (first + i) * rowBytes, width);
    }
    jpeg_finish_decompress(c);
    return true;
}

// The orientation of the first EXIF segment libjpeg kept.
int OrientationOf(const jpeg_decompress_struct &c)
{
    for (jpeg_saved_marker_ptr m = c.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0", 6) == 0)
            return ExifOrientation(m->data, m->data_length);
    return 1;
}

// Owns the job and releases libjpeg's memory on every way out.
struct Job {
    JpegJob job{};
    ~Job()
    {
        if (job.created && job.cinfo.err)
            jpeg_destroy_decompress(&job.cinfo);
        if (job.created && job.cout.err)
            jpeg_destroy_compress(&job.cout);
    }
};

ReadError CheckOutput(const jpeg_decompress_struct &c)
{
    for (JDIMENSION side : {c.output_width, c.output_height})
        if (CheckSide(side) != ReadError::kNone)
            return CheckSide(side);
    const bool known = c.out_color_space == JCS_CMYK ? c.output_components == 4
                                                      : c.output_components == 1 || c.output_components == 3;
    return known ? ReadError::kNone : ReadError::kBadFormat;
}

}  // namespace

CImage *DecodeJpeg(ByteSource &file, ReadError *error)
{
    std::unique_ptr<Job> holder(new (std::nothrow) Job);
    if (!holder) {
        *error = ReadError::kNoMemory;
        return nullptr;
    }
    JpegJob &job = holder->job;
    job.file = &file;
    if (!RunHeader(&job)) {
        *error = ReadError::kBadFormat;
        return nullptr;
    }
    *error = CheckOutput(job.cinfo);
    if (*error != ReadError::kNone)
        return nullptr;
    // The saved markers go with jpeg_finish_decompress.
    const int orientation = OrientationOf(job.cinfo);
    const bool cmyk = job.cinfo.out_color_space == JCS_CMYK;
    std::unique_ptr<CImage> img(NewImage(int(job.cinfo.output_width), int(job.cinfo.output_height),
                                         job.cinfo.output_components == 1 ? 8 : 24, error));
    std::unique_ptr<unsigned char[]> scratch;
    if (img && cmyk)
        scratch.reset(new (std::nothrow) unsigned char[kMaxRowsAtOnce * 4 * size_t(img->width)]);
    if (!img || (cmyk && !scratch)) {
        *error = ReadError::kNoMemory;
        return nullptr;
    }
    AdviseHugePages(img->data, img->ByteCount());
    if (!RunPixels(&job, img->data, img->RowBytes(), scratch.get())) {
        const bool memory = job.errors.msg_code == JERR_OUT_OF_MEMORY;
        *error = memory && !job.tooManyScans ? ReadError::kNoMemory : ReadError::kBadFormat;
        return nullptr;
    }
    CImage *upright = Orient(img.release(), orientation);
    *error = upright ? ReadError::kNone : ReadError::kNoMemory;
    return upright;
}

namespace {

void InitDestination(j_compress_ptr c)
{
    JpegJob *job = JobOf(reinterpret_cast<j_common_ptr>(c));
    c->dest->next_output_byte = job->block;
    c->dest->free_in_buffer = kBlockBytes;
}

boolean EmptyOutput(j_compress_ptr c)
{
    JpegJob *job = JobOf(reinterpret_cast<j_common_ptr>(c));
    if (!job->out->Write(job->block, kBlockBytes))
        Fail(reinterpret_cast<j_common_ptr>(c), JERR_FILE_WRITE);
    InitDestination(c);
    return TRUE;
}

void TermDestination(j_compress_ptr c)
{
    JpegJob *job = JobOf(reinterpret_cast<j_common_ptr>(c));
    if (!job->out->Write(job->block, kBlockBytes - c->dest->free_in_buffer))
        Fail(reinterpret_cast<j_common_ptr>(c), JERR_FILE_WRITE);
}

// One row of img as libjpeg takes it: grey or RGB bytes, into scratch when
// the image's pixels are not already so.
JSAMPROW RowToWrite(const CImage &img, int y, unsigned char *scratch)
{
    unsigned char *row = img.data + size_t(y) * img.RowBytes();
    if (img.bpp != 16 && img.bpp != 32)
        return row;
    const int step = img.bpp / 8, keep = img.bpp == 16 ? 1 : 3;
    for (int x = 0; x < img.width; ++x)
        std::memcpy(scratch + size_t(x) * keep, row + size_t(x) * step, size_t(keep));
    return scratch;
}

// Compresses img at quality through job's destination; false on any error.
bool RunCompress(JpegJob *job, const CImage *img, int quality, unsigned char *scratch)
{
    if (setjmp(job->jump))
        return false;
    jpeg_compress_struct *c = &job->cout;
    InitErrors(job, reinterpret_cast<j_common_ptr>(c));
    c->client_data = job;
    jpeg_create_compress(c);
    job->created = true;
    job->destination = {nullptr, 0, InitDestination, EmptyOutput, TermDestination};
    c->dest = &job->destination;
    c->image_width = JDIMENSION(img->width);
    c->image_height = JDIMENSION(img->height);
    const bool grey = img->bpp == 8 || img->bpp == 16;
    c->input_components = grey ? 1 : 3;
    c->in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(c);  // 4:2:0 for colour, as cjpeg
    jpeg_set_quality(c, quality, TRUE);
    jpeg_start_compress(c, TRUE);
    while (c->next_scanline < c->image_height) {
        JSAMPROW row = RowToWrite(*img, int(c->next_scanline), scratch);
        jpeg_write_scanlines(c, &row, 1);
    }
    jpeg_finish_compress(c);
    return true;
}

}  // namespace

}  // namespace mirlan

int CImage::SaveJPEG(CImage *img, const char *path, int quality)
{
    using namespace mirlan;
    SafeFileWriter out(path);
    std::unique_ptr<Job> holder(new (std::nothrow) Job);
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[kBlockBytes]);
    std::unique_ptr<unsigned char[]> scratch(new (std::nothrow) unsigned char[3 * size_t(img->width > 0 ? img->width : 1)]);
    if (!out.IsOpen() || !holder || !block || !scratch || img->width < 1 || img->height < 1 || !img->data)
        return kWriteFailed;
    holder->job.out = &out;
    holder->job.block = block.get();
    quality = quality < 1 ? 1 : quality > 100 ? 100 : quality;
    return RunCompress(&holder->job, img, quality, scratch.get()) && out.Commit() ? kOk : kWriteFailed;
}
