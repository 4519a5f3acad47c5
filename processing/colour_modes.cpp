// colour_modes.cpp: the negative and the conversions between 24-bit colour
// and 8-bit grey levels.
#include "processing/pixel_pass.h"
#include "processing/ti.h"

void CTi::Negatif(CImage *img)
{
    mirlan::TransformBytes(img->data, img->ByteCount(),
                           [](unsigned char b) { return static_cast<unsigned char>(255 - b); });
}

void CTi::NiveauxGris(CImage *img)
{
    if (img->bpp != 24)
        return;
    const size_t pixels = CImage::ByteCount(img->width, img->height, 8);
    unsigned char *grey = mirlan::NewPixelBuffer(pixels);
    const unsigned char *src = img->data;
    mirlan::ParallelFor(pixels, mirlan::kMinItemsPerThread, [grey, src](size_t first, size_t last) {
        unsigned char *out = grey;  // a local: the stores cannot alias it
        const unsigned char *p = src + first * 3;
        for (size_t k = first; k < last; ++k, p += 3)
            out[k] = static_cast<unsigned char>(mirlan::Luminosity(p));
    });
    img->Replace(grey, img->width, img->height, 8);
}

void CTi::CouleursRVB(CImage *img)
{
    if (img->bpp != 8)
        return;
    const size_t pixels = img->ByteCount();
    unsigned char *colour = mirlan::NewPixelBuffer(pixels * 3);
    const unsigned char *src = img->data;
    mirlan::ParallelFor(pixels, mirlan::kMinItemsPerThread, [colour, src](size_t first, size_t last) {
        const unsigned char *in = src;  // a local: the stores cannot alias it
        unsigned char *p = colour + first * 3;
        for (size_t k = first; k < last; ++k, p += 3) {
            p[0] = in[k];
            p[1] = in[k];
            p[2] = in[k];
        }
    });
    img->Replace(colour, img->width, img->height, 24);
}
