// oracle_geometry.cpp: the plain forms of the geometry and distance-map
// operations, written to be obviously right rather than fast.
#include "oracle_geometry.h"

#include <FL/Fl_Image.H>

#include <cmath>
#include <cstring>
#include <random>

namespace geometry_oracle {

void Rot90h(CImage *img)
{
    const size_t B = size_t(img->bpp / 8), W = size_t(img->width), H = size_t(img->height);
    const size_t n = W * H * B;
    unsigned char *turned = new unsigned char[n];
    for (size_t i = 0; i < n; i += B) {
        size_t r = i / (W * B);
        size_t cB = i % (W * B);
        size_t target = cB * H + (H - 1 - r) * B;
        for (size_t k = 0; k < B; ++k)
            turned[target + k] = img->data[i + k];
    }
    img->Replace(turned, int(H), int(W), img->bpp);
}

void Rot180(CImage *img)
{
    Rot90h(img);
    Rot90h(img);
}

void Rot90a(CImage *img)
{
    Rot90h(img);
    Rot180(img);
}

void SymetrieV(CImage *img)
{
    const size_t row = size_t(img->width) * size_t(img->bpp / 8), H = size_t(img->height);
    CImage temporary(img->width, img->height, img->bpp);
    for (size_t k = 0; k < H; ++k)
        std::memcpy(temporary.data + k * row, img->data + (H - 1 - k) * row, row);
    std::memcpy(img->data, temporary.data, row * H);
}

void SymetrieH(CImage *img)
{
    SymetrieV(img);
    Rot180(img);
}

void Redimensionne(CImage *img, int w, int h)
{
    if (w == img->width && h == img->height)
        return;
    const int B = img->bpp / 8;
    Fl_RGB_Image *wrapper = new Fl_RGB_Image(img->data, img->width, img->height, B);
    Fl_RGB_Image *resized = static_cast<Fl_RGB_Image *>(wrapper->copy(w, h));
    delete wrapper;
    img->Replace(new unsigned char[CImage::ByteCount(w, h, resized->d() * 8)], w, h, resized->d() * 8);
    std::memcpy(img->data, resized->data()[0], img->ByteCount());
    delete resized;
}

namespace {

// The byte-index walk shared by both maps: level(dx, dy) gives the level of
// each pixel, written into the channels the colour selects.
template <class LevelOf>
void PaintDistances(CImage *img, sRGB couleur, int x, int y, LevelOf level_of)
{
    const int64_t B = img->bpp / 8;
    const int64_t R = int64_t(img->width) * B;
    const int64_t n = R * img->height;
    for (int64_t i = 0; i < n; i += B) {
        int64_t row = i / R;
        int64_t offset = i % R;
        int64_t dx = std::llabs(offset - int64_t(x) * B) / B;
        int64_t dy = std::llabs(row - int64_t(y));
        long double t = level_of(dx, dy);
        if (t > 255)
            t = 255;
        unsigned char v = static_cast<unsigned char>(static_cast<int>(t));
        if (B == 1) {
            img->data[i] = v;
            continue;
        }
        if (couleur.r)
            img->data[i] = v;
        if (couleur.g)
            img->data[i + 1] = v;
        if (couleur.b && B > 2)
            img->data[i + 2] = v;
    }
}

}  // namespace

void Distance4Point(CImage *img, sRGB couleur, int x, int y, float valeur)
{
    PaintDistances(img, couleur, x, y, [valeur](int64_t dx, int64_t dy) {
        long double a = static_cast<long double>(dx) / valeur;
        long double b = static_cast<long double>(dy) / valeur;
        long double sum = a + b;
        return std::trunc(sum);
    });
}

void Distance8Point(CImage *img, sRGB couleur, int x, int y, float valeur)
{
    PaintDistances(img, couleur, x, y, [valeur](int64_t dx, int64_t dy) {
        long double a = static_cast<long double>(dx) / valeur;
        long double b = static_cast<long double>(dy) / valeur;
        return b > a ? std::trunc(b) : std::trunc(a);
    });
}

std::unique_ptr<CImage> RandomImage(int w, int h, int bpp, uint32_t seed)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    std::mt19937 rng(seed);
    for (size_t i = 0; i < img->ByteCount(); ++i)
        img->data[i] = static_cast<unsigned char>(rng());
    return img;
}

std::unique_ptr<CImage> ImageOf(int w, int h, int bpp, const std::vector<unsigned char> &bytes)
{
    return std::make_unique<CImage>(bytes.data(), w, h, bpp);
}

std::vector<unsigned char> Bytes(const CImage &img)
{
    return std::vector<unsigned char>(img.data, img.data + img.ByteCount());
}

}  // namespace geometry_oracle
