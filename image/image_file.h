// image_file.h: opening a picture file, the one way in for the editor and
// mirlan-batch.
#ifndef MIRLAN_IMAGE_FILE_H
#define MIRLAN_IMAGE_FILE_H

#include <cstdint>

class CImage;

namespace mirlan {

struct ImageFormat;

// Why a file could not be opened.
enum class ReadError {
    kNone,        // read
    kUnreadable,  // missing, not a regular file, or no permission to read it
    kBadFormat,   // not a picture of a format we read, or damaged
    kTooLarge,    // a side above 32767 pixels
    kNoMemory     // the picture's pixels could not be allocated
};

// Opens path, reads it with the decoder of the format its first bytes show
// (whatever its name), and returns its pixels as a new image (8, 24, or with
// alpha 32 bits), or null with *error (when given) telling why. *format
// (when given) is the format found, or null when none was. Never throws.
CImage *ReadImageFile(const char *path, ReadError *error = nullptr, const ImageFormat **format = nullptr);

// Pictures of more than pixels pixels are refused as too large from now
// on, before their pixels are allocated: a budget for a process that reads
// untrusted files in a tight loop (the fuzz targets). No limit by default.
void LimitPicturePixels(uint64_t pixels);

}  // namespace mirlan

#endif
