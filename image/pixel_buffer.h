// pixel_buffer.h: the memory of pixel buffers. Every picture's pixels come
// from NewPixelBuffer and go back through ReleasePixelBuffer (CImage does
// both). The editor drops a picture-sized buffer and asks for another of the
// same size at almost every step (a quarter turn, an undo copy, an undo):
// the last large buffer given back is kept for the next request of its size,
// which spares the kernel's zeroing and the first touch of every page (tens
// of milliseconds for a 72 MB picture).
#ifndef MIRLAN_PIXEL_BUFFER_H
#define MIRLAN_PIXEL_BUFFER_H

#include <cstddef>

namespace mirlan {

// A buffer of n bytes, to go back through ReleasePixelBuffer (or delete[]):
// the one kept if it has that size, else a new one (on huge pages where the
// kernel has them). Throws std::bad_alloc.
unsigned char *NewPixelBuffer(size_t n);

// Gives back p, n bytes from NewPixelBuffer or new[] (null: nothing); a
// large one is kept in place of the one kept so far.
void ReleasePixelBuffer(unsigned char *p, size_t n);

// Frees the buffer kept, if any.
void ReleaseKeptPixelBuffer();

}  // namespace mirlan

#endif
