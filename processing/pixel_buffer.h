// pixel_buffer.h: new pixel buffers for the operations that replace an
// image's pixels (colour modes, quarter turns, resizing). Private to the engine.
#ifndef MIRLAN_PIXEL_BUFFER_H
#define MIRLAN_PIXEL_BUFFER_H

#include <cstddef>

#include "image/page_hint.h"

namespace mirlan {

// A new pixel buffer of n bytes (to be released with delete[]). Large ones
// ask the kernel for huge pages: the first touch of a fresh buffer in small
// pages costs more than the conversion or the turn that fills it.
inline unsigned char *NewPixelBuffer(size_t n)
{
    unsigned char *p = new unsigned char[n];
    AdviseHugePages(p, n);
    return p;
}

}  // namespace mirlan

#endif
