// toolkit_image.cpp: checked reading of BMP, PPM and PGM files through the
// toolkit (see toolkit_image.h).
#include "widgets/toolkit_image.h"

#include <FL/Fl_BMP_Image.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/Fl_PNM_Image.H>

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "image/image.h"

namespace mirlan {

namespace {

const int kMaxSide = 32767;

// The toolkit sizes its pixel array as w * h * d in int.
bool FitsToolkitArray(int w, int h, int d)
{
    return static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * static_cast<uint64_t>(d) <= INT_MAX;
}

uint32_t ReadLe16(const unsigned char *p) { return p[0] | (p[1] << 8); }

uint32_t ReadLe32(const unsigned char *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Length of an open file in bytes, or -1.
long FileLength(FILE *fp)
{
    if (std::fseek(fp, 0, SEEK_END) != 0)
        return -1;
    long n = std::ftell(fp);
    std::rewind(fp);
    return n;
}

// A closing guard for stdio files.
struct File {
    FILE *fp;
    explicit File(const char *path) : fp(std::fopen(path, "rb")) {}
    ~File()
    {
        if (fp)
            std::fclose(fp);
    }
    File(const File &) = delete;
    File &operator=(const File &) = delete;
};

bool BmpCompressionFits(uint32_t compression, int bpp)
{
    switch (compression) {
    case 0:  // uncompressed
        return true;
    case 1:  // run-length, 8 bits
        return bpp == 8;
    case 2:  // run-length, 4 bits
        return bpp == 4;
    case 3:  // bit fields
        return bpp == 16 || bpp == 32;
    default:
        return false;
    }
}

// Reads the PNM header tokens the way the toolkit does: whitespace and '#'
// comments separate decimal numbers. Lines must stay short enough for the
// toolkit's 1024-byte line buffer, or it would cut them differently.
class PnmHeaderReader {
public:
    explicit PnmHeaderReader(FILE *fp) : fp_(fp) {}

    // The next decimal number, or -1 when the header is malformed.
    long Number()
    {
        int c = SkipSpaceAndComments();
        if (c == EOF || !std::isdigit(c))
            return -1;
        long value = 0;
        while (c != EOF && std::isdigit(c)) {
            value = value * 10 + (c - '0');
            if (value > 1000000)
                return -1;
            c = Get();
        }
        // The toolkit's reader takes the text up to a separator as one
        // field; a number glued to anything else ("1P1") is read there as
        // some other size, however small the file.
        if (c != EOF && !std::isspace(c) && c != '#')
            return -1;
        // A '#' right after a number starts a comment for the toolkit too:
        // leave it for the next read to skip ("1# 4" is the number 1).
        if (c == '#')
            std::ungetc(c, fp_);
        last_ = c;
        return value;
    }

    // The character that ended the last number.
    int Last() const { return last_; }
    bool LinesTooLong() const { return tooLong_; }

private:
    int Get()
    {
        int c = std::getc(fp_);
        if (c == '\n') {
            lineLength_ = 0;
        } else if (++lineLength_ > kMaxLine) {
            tooLong_ = true;
        }
        return c;
    }

    int SkipSpaceAndComments()
    {
        int c = Get();
        for (;;) {
            if (c == '#') {
                while (c != EOF && c != '\n')
                    c = Get();
            } else if (c != EOF && std::isspace(c)) {
                c = Get();
            } else {
                return c;
            }
        }
    }

    static const int kMaxLine = 1000;
    FILE *fp_;
    int last_ = EOF;
    int lineLength_ = 0;
    bool tooLong_ = false;
};

// Counts the samples of a plain (ASCII) PNM raster, up to needed. The
// toolkit reads every sample, bits included, as a decimal number, so "101"
// is one sample to it and counts as one here.
uint64_t CountPlainSamples(FILE *fp, uint64_t needed)
{
    uint64_t count = 0;
    bool inNumber = false;
    int c;
    while (count < needed && (c = std::getc(fp)) != EOF) {
        if (std::isdigit(c)) {
            if (!inNumber)
                ++count;
            inNumber = true;
        } else if (std::isspace(c)) {
            inNumber = false;
        } else {
            break;  // the toolkit's number reading stops here too
        }
    }
    return count;
}

// The toolkit's decoded image as a CImage, when its pixels are what the
// header announced; null otherwise. The pixel array the decoder allocated
// (with new[]) becomes the CImage's own, so a large picture is never copied.
CImage *AdoptPixels(Fl_RGB_Image &decoded, const HeaderInfo &expected)
{
    if (decoded.fail() != 0 || decoded.count() != 1 || decoded.d() < 1 || decoded.d() > 4)
        return nullptr;
    const int w = decoded.w(), h = decoded.h(), d = decoded.d();
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide)
        return nullptr;
    if (decoded.ld() != 0 && decoded.ld() != w * d)
        return nullptr;
    if (expected.width && (w != expected.width || h != expected.height))
        return nullptr;
    if (expected.depth && d != expected.depth)
        return nullptr;
    if (!decoded.array)
        return nullptr;
    CImage *img = new CImage();
    if (decoded.alloc_array) {
        img->Replace(const_cast<unsigned char *>(decoded.array), w, h, d * 8);
        decoded.alloc_array = 0;
    } else {
        img->Replace(new unsigned char[CImage::ByteCount(w, h, d * 8)], w, h, d * 8);
        std::memcpy(img->data, decoded.array, img->ByteCount());
    }
    return img;
}

// Which of the toolkit's decoders a checked file goes to: the same one that
// Fl_Shared_Image::get picks from the file's first bytes.
enum class Decoder { Bmp, Pnm, Png };

Fl_RGB_Image *Decode(Decoder decoder, const char *path)
{
    switch (decoder) {
    case Decoder::Bmp: return new Fl_BMP_Image(path);
    case Decoder::Pnm: return new Fl_PNM_Image(path);
    case Decoder::Png: return new Fl_PNG_Image(path);
    }
    return nullptr;
}

uint32_t ReadBe32(const unsigned char *p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// PNG content is read by libpng, safe in itself; only its sizes are checked
// here, as the toolkit sizes its array in int.
bool CheckPngHeader(const unsigned char *head, size_t n, HeaderInfo &info)
{
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (n < 24 || std::memcmp(head, kSignature, 8) != 0 || std::memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    const uint32_t width = ReadBe32(head + 16), height = ReadBe32(head + 20);
    if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide)
        return false;
    if (!FitsToolkitArray(static_cast<int>(width), static_cast<int>(height), 4))
        return false;
    info.width = static_cast<int>(width);
    info.height = static_cast<int>(height);
    return true;
}

// Only a regular file can hold an image; opening a named pipe would block
// until someone writes to it, and a device may never end.
bool IsRegularFile(const char *path)
{
    struct stat st;
    return path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

bool CheckBmpHeader(const unsigned char *head, size_t headSize, size_t fileSize, HeaderInfo &info)
{
    const size_t kFileHeader = 14;
    if (headSize < kFileHeader + 4 || head[0] != 'B' || head[1] != 'M')
        return false;
    const uint32_t offBits = ReadLe32(head + 10);
    const uint32_t infoSize = ReadLe32(head + 14);
    const bool core = infoSize == 12;
    if (!core && (infoSize < 40 || infoSize > 124))
        return false;
    if (headSize < kFileHeader + infoSize || fileSize < kFileHeader + infoSize)
        return false;

    const unsigned char *p = head + kFileHeader + 4;
    long width, height;
    uint32_t planes, bpp, compression = 0, colours = 0;
    if (core) {
        width = ReadLe16(p);
        height = ReadLe16(p + 2);
        planes = ReadLe16(p + 4);
        bpp = ReadLe16(p + 6);
    } else {
        width = static_cast<int32_t>(ReadLe32(p));
        height = static_cast<int32_t>(ReadLe32(p + 4));
        planes = ReadLe16(p + 8);
        bpp = ReadLe16(p + 10);
        compression = ReadLe32(p + 12);
        colours = ReadLe32(p + 28);
    }
    if (planes != 1 || width < 1 || width > kMaxSide || height == 0 || height < -kMaxSide ||
        height > kMaxSide)
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (!BmpCompressionFits(compression, static_cast<int>(bpp)))
        return false;
    // The toolkit keeps the palette in a table of 256 entries.
    if (colours > 256)
        return false;
    const int rows = static_cast<int>(height < 0 ? -height : height);
    const int depth = bpp == 32 ? 4 : 3;
    if (!FitsToolkitArray(static_cast<int>(width), rows, depth))
        return false;
    if (offBits > fileSize)
        return false;
    if (compression == 0) {
        // Every row of an uncompressed picture is in the file.
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * bpp + 31) / 32 * 4;
        if (offBits < kFileHeader + infoSize || rowBytes * static_cast<uint64_t>(rows) > fileSize - offBits)
            return false;
    }
    info.width = static_cast<int>(width);
    info.height = rows;
    info.depth = 0;  // 3 or 4 depending on the reader's alpha handling
    return true;
}

bool CheckPnmFile(const char *path, HeaderInfo &info)
{
    File file(path);
    if (!file.fp)
        return false;
    const long length = FileLength(file.fp);
    if (length < 3)
        return false;
    if (std::getc(file.fp) != 'P')
        return false;
    const int format = std::getc(file.fp) - '0';
    if (format < 1 || format > 6)
        return false;
    // The toolkit takes every digit after the P as the format ("P41" is
    // format 41), so the one digit must stand alone.
    const int afterFormat = std::getc(file.fp);
    if (afterFormat == EOF || (!std::isspace(afterFormat) && afterFormat != '#'))
        return false;
    std::ungetc(afterFormat, file.fp);
    PnmHeaderReader reader(file.fp);
    const long width = reader.Number();
    const long height = reader.Number();
    const bool bitmap = format == 1 || format == 4;
    const long maxval = bitmap ? 1 : reader.Number();
    if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide || maxval < 1 || maxval > 65535)
        return false;
    // The toolkit starts the raster on the line after the header's last
    // number, so that number must end its line.
    if (reader.Last() != '\n' || reader.LinesTooLong())
        return false;
    const int channels = (format == 3 || format == 6) ? 3 : 1;
    if (!FitsToolkitArray(static_cast<int>(width), static_cast<int>(height), channels))
        return false;

    const uint64_t samples = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * channels;
    if (format <= 3) {
        if (CountPlainSamples(file.fp, samples) < samples)
            return false;
    } else {
        const long headerEnd = std::ftell(file.fp);
        uint64_t rasterBytes;
        if (format == 4)
            rasterBytes = (static_cast<uint64_t>(width) + 7) / 8 * static_cast<uint64_t>(height);
        else
            rasterBytes = samples * (maxval > 255 ? 2 : 1);
        if (headerEnd < 0 || rasterBytes > static_cast<uint64_t>(length - headerEnd))
            return false;
    }
    info.width = static_cast<int>(width);
    info.height = static_cast<int>(height);
    info.depth = channels;
    return true;
}

CImage *ReadToolkitImage(const char *path)
{
    HeaderInfo expected;
    Decoder decoder;
    {
        File file(path);
        if (!file.fp)
            return nullptr;
        const long length = FileLength(file.fp);
        if (length <= 0)
            return nullptr;
        unsigned char head[160];
        const size_t n = std::fread(head, 1, sizeof head, file.fp);
        bool accepted;
        if (n >= 2 && head[0] == 'B' && head[1] == 'M') {
            decoder = Decoder::Bmp;
            accepted = CheckBmpHeader(head, n, static_cast<size_t>(length), expected);
        } else if (n >= 2 && head[0] == 'P') {
            decoder = Decoder::Pnm;
            accepted = CheckPnmFile(path, expected);
        } else {
            decoder = Decoder::Png;
            accepted = CheckPngHeader(head, n, expected);
        }
        if (!accepted)
            return nullptr;
    }
    std::unique_ptr<Fl_RGB_Image> decoded(Decode(decoder, path));
    return AdoptPixels(*decoded, expected);
}

CImage *ReadImageFile(const char *path, ReadError *error)
{
    ReadError why = ReadError::kNone;
    CImage *img = nullptr;
    if (!IsRegularFile(path) || access(path, R_OK) != 0) {
        why = ReadError::kUnreadable;
    } else {
        switch (CImage::GetType(path)) {
        case CImage::kTypeBMP:
        case CImage::kTypePPM:
        case CImage::kTypePGM:
            img = ReadToolkitImage(path);
            break;
        case CImage::kTypeTGA:
            img = new CImage();
            if (CImage::LoadTGA(img, path) != CImage::kOk || !img->data) {
                delete img;
                img = nullptr;
            }
            break;
        default:
            break;
        }
        if (!img)
            why = ReadError::kBadFormat;
    }
    if (error)
        *error = why;
    return img;
}

}  // namespace mirlan
