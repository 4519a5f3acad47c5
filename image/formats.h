// formats.h: the one table of picture file formats. Each format is a row:
// its name, its extensions, its MIME type, a test of its first bytes, its
// decoder and its writer (or none). Everything that lists formats (the type
// test, the choosers' patterns, the save commands, mirlan-batch's help and
// its choice of writer, the fuzz target, the desktop entry's MIME types)
// walks this table. The content of a file decides which decoder reads it;
// a name's extension only chooses the format written.
#ifndef MIRLAN_IMAGE_FORMATS_H
#define MIRLAN_IMAGE_FORMATS_H

#include <cstddef>
#include <string>
#include <vector>

#include "image/image_file.h"

class CImage;

namespace mirlan {

class ByteSource;

// Settings a writer may take.
struct WriteOptions {
    int jpegQuality = 90;  // 1 to 100
};

struct ImageFormat {
    const char *name;        // as messages and menus name it: "PNG", "JPEG", ...
    const char *extensions;  // lower case, separated by spaces; the first is written
    const char *mime;        // MIME type, as the desktop knows it
    // Whether a file's first bytes (n of them, at most kSignatureBytes) are
    // of this format.
    bool (*matches)(const unsigned char *head, size_t n);
    // A new image from the file's bytes, or null with *error set.
    CImage *(*decode)(ByteSource &file, ReadError *error);
    // Writes img to path through SafeFileWriter; CImage::kOk or
    // CImage::kWriteFailed. Null for a format that is only read.
    int (*write)(CImage *img, const char *path, const WriteOptions &options);
};

// How many first bytes the signature tests look at.
constexpr size_t kSignatureBytes = 32;

// Every format, in the order their signatures are tried.
const std::vector<ImageFormat> &Formats();

// The format whose signature the first bytes match, or null.
const ImageFormat *FormatOfContent(const unsigned char *head, size_t n);
// The writable format whose extension ends path (any case), or null.
const ImageFormat *WritableFormatOfName(const char *path);
// The format's extensions as "*.{png,PNG}"-style chooser patterns joined,
// or for several formats at once: "*.{bmp,ppm,pgm,...}".
std::string ChooserPattern(const std::vector<const ImageFormat *> &formats);
// Whether path ends with one of format's extensions, in any case.
bool HasExtensionOf(const char *path, const ImageFormat &format);

}  // namespace mirlan

#endif
