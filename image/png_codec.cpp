// png_codec.cpp: PNG files read and written through libspng, which reports
// errors as return codes (no longjmp).
//
// Reading: the header is checked against our side limit before any pixel is
// allocated; rows are decoded one at a time, straight into the picture when
// libspng can give its format, else through one row in 16-bit RGBA that is
// rounded to bytes. Interlaced rows come pass by pass: each pass writes only
// its own columns. The chunks after the pixels are read up to IEND, so that
// a cut file is refused even when its pixels are all there.
#include <spng.h>
#include <zlib.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>

#include "image/codec_rows.h"
#include "image/image.h"
#include "image/pixel_decoders.h"
#include "image/safe_file.h"

namespace mirlan {

namespace {

constexpr size_t kChunkLimit = size_t(16) << 20;   // one ancillary chunk
constexpr size_t kChunkCache = size_t(64) << 20;   // all kept ancillary chunks
constexpr size_t kLargestGet = size_t(1) << 20;    // ByteSource's window

using Context = std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)>;

struct Reader {
    ByteSource *file;
    size_t at;
};

int ReadBytes(spng_ctx *, void *user, void *dst, size_t n)
{
    Reader *in = static_cast<Reader *>(user);
    const unsigned char *p = n <= kLargestGet ? in->file->Get(in->at, n) : nullptr;
    if (p)
        std::memcpy(dst, p, n);
    else if (!in->file->CopyTo(in->at, n, static_cast<unsigned char *>(dst)))
        return SPNG_IO_EOF;
    in->at += n;
    return 0;
}

ReadError ErrorOf(int spngError)
{
    switch (spngError) {
    case SPNG_EUSER_WIDTH:
    case SPNG_EUSER_HEIGHT: return ReadError::kTooLarge;
    case SPNG_EMEM: return ReadError::kNoMemory;
    default: return ReadError::kBadFormat;
    }
}

// What a PNG becomes: the picture's depth and the format libspng decodes
// to; a palette file's indices are looked up here, scanline by scanline,
// so that one past the palette refuses the file (libspng would give black).
struct Layout {
    int bpp;
    int format;
    bool interlaced;
    unsigned indexBits;  // 0 unless the file has a palette
    unsigned char colours[256][4];
    unsigned entries;
};

void ReadPalette(spng_ctx *ctx, const spng_trns *trns, Layout *layout)
{
    spng_plte plte;
    layout->entries = spng_get_plte(ctx, &plte) == 0 ? plte.n_entries : 0;
    for (unsigned i = 0; i < layout->entries && i < 256; ++i) {
        const bool clear = trns && i < trns->n_type3_entries;
        const unsigned char rgba[4] = {plte.entries[i].red, plte.entries[i].green, plte.entries[i].blue,
                                       clear ? trns->type3_alpha[i] : static_cast<unsigned char>(255)};
        std::memcpy(layout->colours[i], rgba, 4);
    }
}

void MakeLayout(spng_ctx *ctx, const spng_ihdr &ihdr, Layout *layout)
{
    spng_trns trns;
    const bool transparent = spng_get_trns(ctx, &trns) == 0;
    const bool grey = ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE;
    const bool alpha = transparent || ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ||
                       ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    layout->bpp = alpha ? 32 : grey ? 8 : 24;
    layout->interlaced = ihdr.interlace_method != SPNG_INTERLACE_NONE;
    layout->indexBits = 0;
    if (ihdr.color_type == SPNG_COLOR_TYPE_INDEXED) {
        layout->format = SPNG_FMT_PNG;
        layout->indexBits = ihdr.bit_depth;
        ReadPalette(ctx, transparent ? &trns : nullptr, layout);
    } else if (ihdr.bit_depth == 16) {
        layout->format = SPNG_FMT_RGBA16;
    } else {
        layout->format = alpha ? SPNG_FMT_RGBA8 : grey ? SPNG_FMT_G8 : SPNG_FMT_RGB8;
    }
}

// The columns a row of an Adam7 pass holds (every column without interlacing).
struct Columns {
    int start, step;
};

Columns ColumnsOf(const Layout &layout, int pass)
{
    static constexpr Columns kPasses[7] = {{0, 8}, {4, 8}, {0, 4}, {2, 4}, {0, 2}, {1, 2}, {0, 1}};
    return layout.interlaced && pass >= 0 && pass < 7 ? kPasses[pass] : Columns{0, 1};
}

inline unsigned char Round16(uint16_t v) { return static_cast<unsigned char>((uint32_t(v) * 255 + 32767) / 65535); }

// The given columns of a 16-bit RGBA row, rounded to bytes, into an image row.
void PutWideRow(const uint16_t *src, unsigned char *dst, int width, int bpp, Columns columns)
{
    const int channels = bpp / 8;
    for (int x = columns.start; x < width; x += columns.step)
        for (int c = 0; c < channels; ++c)
            dst[size_t(x) * channels + c] = Round16(src[4 * size_t(x) + c]);
}

// A scanline of packed palette indices (the pixels of one pass row, side by
// side) into the given columns of an image row; false for an index past the
// palette.
bool PutIndexedRow(const Layout &layout, const unsigned char *src, unsigned char *dst, int width, Columns columns)
{
    const unsigned bits = layout.indexBits, mask = (1u << bits) - 1, channels = unsigned(layout.bpp / 8);
    size_t bit = 0;
    for (int x = columns.start; x < width; x += columns.step, bit += bits) {
        const unsigned index = (src[bit / 8] >> (8 - bits - bit % 8)) & mask;
        if (index >= layout.entries)
            return false;
        std::memcpy(dst + size_t(x) * channels, layout.colours[index], channels);
    }
    return true;
}

constexpr int kIndexPastPalette = SPNG_EPLTE_IDX;

int DecodeRows(spng_ctx *ctx, const Layout &layout, CImage &img)
{
    const size_t rowBytes = img.RowBytes();
    const bool direct = layout.format != SPNG_FMT_RGBA16 && layout.format != SPNG_FMT_PNG;
    const size_t scratchBytes = direct ? 0 : layout.indexBits ? size_t(img.width) : 8 * size_t(img.width);
    std::unique_ptr<uint16_t[]> scratch;  // 16-bit words: room and alignment for RGBA16
    if (!direct) {
        scratch.reset(new (std::nothrow) uint16_t[scratchBytes / 2 + 1]);
        if (!scratch)
            return SPNG_EMEM;
    }
    unsigned char *bytes = reinterpret_cast<unsigned char *>(scratch.get());
    for (;;) {
        spng_row_info row;
        int status = spng_get_row_info(ctx, &row);
        if (status != 0)
            return status;
        unsigned char *dst = img.data + size_t(row.row_num) * rowBytes;
        if (direct)
            status = spng_decode_row(ctx, dst, rowBytes);
        else if (layout.indexBits)
            status = spng_decode_scanline(ctx, bytes, scratchBytes);
        else
            status = spng_decode_row(ctx, bytes, scratchBytes);
        if (!direct && (status == 0 || status == SPNG_EOI)) {
            const Columns columns = ColumnsOf(layout, row.pass);
            if (!layout.indexBits)
                PutWideRow(scratch.get(), dst, img.width, img.bpp, columns);
            else if (!PutIndexedRow(layout, bytes, dst, img.width, columns))
                return kIndexPastPalette;
        }
        if (status == SPNG_EOI)
            return 0;
        if (status != 0)
            return status;
    }
}

// libspng stops reading at IEND's type, before its CRC: a file cut there is
// refused too. at is where libspng stopped.
bool EndsWithIend(ByteSource &file, size_t at)
{
    static const unsigned char kIend[8] = {'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    for (size_t back : {4, 8}) {
        const unsigned char *p = at >= back ? file.Get(at - back, sizeof kIend) : nullptr;
        if (p && std::memcmp(p, kIend, sizeof kIend) == 0)
            return true;
    }
    return false;
}

}  // namespace

CImage *DecodePng(ByteSource &file, ReadError *error)
{
    *error = ReadError::kBadFormat;
    Context ctx(spng_ctx_new(0), spng_ctx_free);
    std::unique_ptr<Layout> layout(new (std::nothrow) Layout);
    if (!ctx || !layout) {
        *error = ReadError::kNoMemory;
        return nullptr;
    }
    Reader in{&file, 0};
    spng_ihdr ihdr;
    int status = spng_set_png_stream(ctx.get(), ReadBytes, &in);
    if (status == 0)
        status = spng_set_image_limits(ctx.get(), kMaxImageSide, kMaxImageSide);
    if (status == 0)
        status = spng_set_chunk_limits(ctx.get(), kChunkLimit, kChunkCache);
    if (status == 0)
        status = spng_get_ihdr(ctx.get(), &ihdr);
    if (status != 0) {
        *error = ErrorOf(status);
        return nullptr;
    }
    MakeLayout(ctx.get(), ihdr, layout.get());
    std::unique_ptr<CImage> img(NewImage(int(ihdr.width), int(ihdr.height), layout->bpp, error));
    if (!img)
        return nullptr;
    status = spng_decode_image(ctx.get(), nullptr, 0, layout->format, SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE);
    if (status == 0)
        status = DecodeRows(ctx.get(), *layout, *img);
    if (status == 0)
        status = spng_decode_chunks(ctx.get());
    if (status == 0 && !EndsWithIend(file, in.at))
        status = SPNG_IO_EOF;
    *error = status == 0 ? ReadError::kNone : ErrorOf(status);
    return status == 0 ? img.release() : nullptr;
}

namespace {

// Collects libspng's output into large blocks for the file.
struct BlockWriter {
    SafeFileWriter &out;
    std::unique_ptr<unsigned char[]> block;
    size_t used = 0;
    static constexpr size_t kBytes = size_t(1) << 18;

    bool Flush()
    {
        const bool ok = out.Write(block.get(), used);
        used = 0;
        return ok;
    }
};

int WriteBytes(spng_ctx *, void *user, void *src, size_t n)
{
    BlockWriter *w = static_cast<BlockWriter *>(user);
    if (w->used + n > BlockWriter::kBytes && !w->Flush())
        return SPNG_IO_ERROR;
    if (n >= BlockWriter::kBytes)
        return w->out.Write(src, n) ? 0 : SPNG_IO_ERROR;
    std::memcpy(w->block.get() + w->used, src, n);
    w->used += n;
    return 0;
}

uint8_t ColourTypeFor(int bpp)
{
    switch (bpp) {
    case 24: return SPNG_COLOR_TYPE_TRUECOLOR;
    case 32: return SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    default: return SPNG_COLOR_TYPE_GRAYSCALE;
    }
}

// The Paeth filter with run-length deflate: on a 6000 x 4000 photograph
// (bench_codecs) a third the time of zlib's default level without filters
// and 60 % of its size; the adaptive filters and LZ77 searches cost twice
// the time or more for a few percent.
bool SetUpEncoder(spng_ctx *ctx, const CImage &img, BlockWriter *writer)
{
    spng_ihdr ihdr = {uint32_t(img.width), uint32_t(img.height), 8, ColourTypeFor(img.bpp), 0, 0, 0};
    return spng_set_png_stream(ctx, WriteBytes, writer) == 0 && spng_set_ihdr(ctx, &ihdr) == 0 &&
           spng_set_option(ctx, SPNG_IMG_COMPRESSION_STRATEGY, Z_RLE) == 0 &&
           spng_set_option(ctx, SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_PAETH) == 0 &&
           spng_encode_image(ctx, nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE) == 0;
}

// Encodes every row; 16-bit (grey, alpha) rows go as their grey bytes.
bool EncodeRows(spng_ctx *ctx, const CImage &img)
{
    const size_t rowBytes = img.RowBytes();
    std::unique_ptr<unsigned char[]> grey;
    if (img.bpp == 16) {
        grey.reset(new (std::nothrow) unsigned char[size_t(img.width)]);
        if (!grey)
            return false;
    }
    for (int y = 0; y < img.height; ++y) {
        const unsigned char *row = img.data + size_t(y) * rowBytes;
        if (grey) {
            GreyAlphaToGrey(row, grey.get(), size_t(img.width));
            row = grey.get();
        }
        const int status = spng_encode_row(ctx, row, grey ? size_t(img.width) : rowBytes);
        if (status != 0 && !(status == SPNG_EOI && y == img.height - 1))
            return false;
    }
    return true;
}

}  // namespace

}  // namespace mirlan

int CImage::SavePNG(CImage *img, const char *path)
{
    using namespace mirlan;
    SafeFileWriter out(path);
    BlockWriter writer{out, std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[BlockWriter::kBytes])};
    Context ctx(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    if (!out.IsOpen() || !writer.block || !ctx || img->width < 1 || img->height < 1)
        return kWriteFailed;
    const bool ok = SetUpEncoder(ctx.get(), *img, &writer) && EncodeRows(ctx.get(), *img) && writer.Flush();
    return ok && out.Commit() ? kOk : kWriteFailed;
}
