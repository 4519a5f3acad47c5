// image_file.h: opening a picture file, the one way in for the editor and
// mirlan-batch.
#ifndef MIRLAN_IMAGE_FILE_H
#define MIRLAN_IMAGE_FILE_H

class CImage;

namespace mirlan {

// Why a file could not be opened.
enum class ReadError {
    kNone,        // read
    kUnreadable,  // missing, not a regular file, or no permission to read it
    kBadFormat,   // not a picture of its extension's format, or damaged
    kTooLarge,    // a side above 32767 pixels
    kNoMemory     // the picture's pixels could not be allocated
};

// Opens path by its extension (.bmp, .ppm, .pgm, .tga, any case) and returns
// its pixels as a new image (8, 24 or, from a 32-bit BMP, 32 bits), or null
// with *error (when given) telling why. Never throws.
CImage *ReadImageFile(const char *path, ReadError *error = nullptr);

}  // namespace mirlan

#endif
