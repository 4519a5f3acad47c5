// formats.h: the one table of picture file formats. Each format is a row:
// its name, its extensions, its MIME types, a test of its first bytes, its
// decoder and its writer (or none). Everything that lists formats (reading,
// the choosers' patterns, the save commands, mirlan-batch's help and its
// choice of writer, the fuzz targets, the desktop entry's MIME types) walks
// this table. A file's content decides which decoder reads it; a name's
// extension only chooses the format written.
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
    const char *name;        // as messages name it: "PNG", "JPEG", ...
    const char *saveLabel;   // its item under "Enregistrer sous"; null when not written
    const char *extensions;  // lower case, separated by spaces; the first is the one written
    const char *mimeTypes;   // as the desktop knows them, each followed by ';'
    // Whether a file's first bytes (n of them, at most kSignatureBytes) are
    // of this format.
    bool (*matches)(const unsigned char *head, size_t n);
    // A new picture from the file's bytes, or null with *error set.
    CImage *(*decode)(ByteSource &file, ReadError *error);
    // Writes img to path through SafeFileWriter: CImage::kOk or
    // CImage::kWriteFailed. Null for a format that is only read.
    int (*write)(CImage *img, const char *path, const WriteOptions &options);
};

// How many first bytes the signature tests are given (fewer when the file
// is shorter).
constexpr size_t kSignatureBytes = 32;

// Every format, in the order their signatures are tried.
const std::vector<ImageFormat> &Formats();

// The format of that name ("PNG", "TGA", ...), or null.
const ImageFormat *FormatNamed(const char *name);
// The format whose signature the first bytes match, or null.
const ImageFormat *FormatOfContent(const unsigned char *head, size_t n);
// The writable format whose extension ends path (in any case), or null.
const ImageFormat *WritableFormatOfName(const char *path);
// format's extensions: {"jpg", "jpeg"}.
std::vector<std::string> Extensions(const ImageFormat &format);
// A chooser pattern of every extension of these formats: "*.{png,jpg,jpeg}".
std::string ChooserPattern(const std::vector<const ImageFormat *> &formats);
// Every readable format, and every writable one.
std::vector<const ImageFormat *> ReadableFormats();
std::vector<const ImageFormat *> WritableFormats();

}  // namespace mirlan

#endif
