// colour_modes.cpp: the negative and the conversions between 24-bit colour
// and 8-bit grey levels. The conversions fill a new buffer and give it to
// the image only once it is whole: short of memory, the image is untouched.
#include <memory>

#include "processing/pixel_pass.h"
#include "processing/ti.h"

void CTi::Negatif(CImage *img)
{
    mirlan::TransformBytes(img->data, img->ByteCount(),
                           [](unsigned char b) { return static_cast<unsigned char>(255 - b); });
}

namespace {

// A 24-bit picture made 8-bit, each pixel's grey level given by grey(p) of
// its three bytes; other depths are left as they are.
template <class Grey>
void ToGrey(CImage *img, Grey grey)
{
    if (img->bpp != 24)
        return;
    const size_t pixels = CImage::ByteCount(img->width, img->height, 8);
    std::unique_ptr<unsigned char[]> kept(mirlan::NewPixelBuffer(pixels));
    unsigned char *dst = kept.get();
    const unsigned char *src = img->data;
    mirlan::ParallelFor(pixels, mirlan::kMinItemsPerThread, [dst, src, grey](size_t first, size_t last) {
        unsigned char *out = dst;  // a local: the stores cannot alias it
        const unsigned char *p = src + first * 3;
        for (size_t k = first; k < last; ++k, p += 3)
            out[k] = static_cast<unsigned char>(grey(p));
    });
    img->Replace(kept.release(), img->width, img->height, 8);
}

}  // namespace

void CTi::NiveauxGris(CImage *img) { ToGrey(img, [](const unsigned char *p) { return mirlan::Luminosity(p); }); }

void CTi::CouleursRVB(CImage *img)
{
    if (img->bpp != 8)
        return;
    const size_t pixels = img->ByteCount();
    std::unique_ptr<unsigned char[]> kept(mirlan::NewPixelBuffer(pixels * 3));
    unsigned char *colour = kept.get();
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
    img->Replace(kept.release(), img->width, img->height, 24);
}

void CTi::PremierCanal(CImage *img) { ToGrey(img, [](const unsigned char *p) { return p[0]; }); }
