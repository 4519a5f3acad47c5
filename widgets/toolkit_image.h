// toolkit_image.h: reading BMP, PPM and PGM files through the toolkit's
// readers without trusting them with hostile files. A BMP or PNM header is
// checked here before the toolkit sees the file, content the toolkit would
// turn into a pixmap or bitmap (GIF, XPM, XBM) is refused, and the image the
// toolkit returns must be packed pixels of the size the header announced.
#ifndef MIRLAN_TOOLKIT_IMAGE_H
#define MIRLAN_TOOLKIT_IMAGE_H

#include <cstddef>

#include "image/image_file.h"

class CImage;

namespace mirlan {

// What a checked header announces: the picture's size and the bytes per
// pixel the toolkit will give it.
struct HeaderInfo {
    int width = 0;
    int height = 0;
    int depth = 0;
};

// True when head (the file's first bytes, up to its whole length) is a BMP
// header that the toolkit's reader handles safely for a file of fileSize
// bytes; fills info.
bool CheckBmpHeader(const unsigned char *head, size_t headSize, size_t fileSize, HeaderInfo &info);

// True when the file at path is a PBM, PGM or PPM file (P1 to P6) with sane
// sizes and maxval and enough pixel data for its header; fills info.
bool CheckPnmFile(const char *path, HeaderInfo &info);

// Reads path (a BMP, PPM or PGM name) with the toolkit decoder that
// Fl_Shared_Image::get would pick for its content, and returns its pixels as
// a new CImage, or null when the file is refused or unreadable.
CImage *ReadToolkitImage(const char *path);

}  // namespace mirlan

#endif
