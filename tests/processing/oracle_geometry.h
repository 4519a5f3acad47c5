// oracle_geometry.h: the plain, step-by-step forms of the geometry and
// distance-map operations, which the fast forms in processing/ must match
// byte for byte, and the small random images the tests feed them.
#ifndef MIRLAN_TESTS_ORACLE_GEOMETRY_H
#define MIRLAN_TESTS_ORACLE_GEOMETRY_H

#include <cstdint>
#include <memory>
#include <vector>

#include "image/image.h"

namespace geometry_oracle {

// Clockwise quarter turn: every source pixel copied one by one into a new
// buffer of H × W pixels.
void Rot90h(CImage *img);
// Two clockwise quarter turns.
void Rot180(CImage *img);
// A clockwise quarter turn followed by a half turn.
void Rot90a(CImage *img);
// Rows copied in reverse order into a temporary image, then copied back.
void SymetrieV(CImage *img);
// Row-order mirror followed by a half turn.
void SymetrieH(CImage *img);
// The toolkit's own resampling: the buffer wrapped in an Fl_RGB_Image and
// resized with Fl_RGB_Image::copy.
void Redimensionne(CImage *img, int w, int h);

// Distance maps computed pixel by pixel from byte indices, in extended precision.
void Distance4Point(CImage *img, sRGB couleur, int x, int y, float valeur);
void Distance8Point(CImage *img, sRGB couleur, int x, int y, float valeur);

// A w × h image of bpp bits filled with random bytes from seed.
std::unique_ptr<CImage> RandomImage(int w, int h, int bpp, uint32_t seed);
// An image of bpp bits whose pixel (c, r) holds the bytes given row by row.
std::unique_ptr<CImage> ImageOf(int w, int h, int bpp, const std::vector<unsigned char> &bytes);
// The image's bytes, for comparisons.
std::vector<unsigned char> Bytes(const CImage &img);

}  // namespace geometry_oracle

#endif
