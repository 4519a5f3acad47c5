// e2e_reference.cpp: the reference side of the end-to-end test. Writes the
// sample picture that the editor opens, and the picture the engine gives
// for the same steps, both as binary PPM files.
//
//   e2e_reference sample OUT.ppm
//   e2e_reference expect OUT.ppm STEP...   (steps: rot90h, negatif, resize=WxH)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "image/image.h"
#include "processing/ti.h"

namespace {

// 61 × 37 pixels: odd sides, so that a BMP row needs padding and every
// rotation or mirror moves every pixel somewhere else.
std::unique_ptr<CImage> Sample()
{
    const int w = 61, h = 37;
    auto img = std::make_unique<CImage>(w, h, 24);
    unsigned char *p = img->data;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            *p++ = static_cast<unsigned char>(x * 4 + y);
            *p++ = static_cast<unsigned char>(y * 7);
            *p++ = static_cast<unsigned char>((x * y) ^ 0x5a);
        }
    return img;
}

bool WritePPM(const CImage &img, const char *path)
{
    FILE *f = std::fopen(path, "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", img.width, img.height);
    bool ok = std::fwrite(img.data, 1, img.ByteCount(), f) == img.ByteCount();
    return std::fclose(f) == 0 && ok;
}

bool Step(CImage *img, const char *step)
{
    struct Named {
        const char *name;
        void (*op)(CImage *);
    };
    static const Named steps[] = {
        {"rot90h", CTi::Rot90h},
        {"negatif", CTi::Negatif},
    };
    for (const Named &s : steps)
        if (std::strcmp(step, s.name) == 0) {
            s.op(img);
            return true;
        }
    int w, h;
    if (std::sscanf(step, "resize=%dx%d", &w, &h) == 2 && w > 0 && h > 0) {
        CTi::Redimensionne(img, w, h);
        return true;
    }
    std::fprintf(stderr, "unknown step %s\n", step);
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || (std::strcmp(argv[1], "sample") && std::strcmp(argv[1], "expect"))) {
        std::fprintf(stderr, "usage: %s sample|expect OUT.ppm [STEP...]\n", argv[0]);
        return 2;
    }
    auto img = Sample();
    if (std::strcmp(argv[1], "expect") == 0)
        for (int i = 3; i < argc; ++i)
            if (!Step(img.get(), argv[i]))
                return 2;
    return WritePPM(*img, argv[2]) ? 0 : 1;
}
