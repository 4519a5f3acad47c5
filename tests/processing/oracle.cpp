// oracle.cpp: the reference forms of the point operations and the shared
// test helpers.
#include "oracle.h"

#include <cstdlib>
#include <cstring>
#include <random>

namespace oracle {

int Luminosite(int c0, int c1, int c2)
{
    long double c0w = static_cast<long double>(c0) * 0.707;
    long double c1w = static_cast<long double>(c1) * 0.202;
    long double c2w = static_cast<long double>(c2) * 0.091;
    long double sum = (c0w + c1w) + c2w;
    return static_cast<int>(sum);
}

int TruncClamp(long double v)
{
    long long t = static_cast<long long>(v);
    if (t > 255)
        return 255;
    if (t < 0)
        return 0;
    return static_cast<int>(t);
}

namespace {

size_t Bpp(const CImage *img) { return img->bpp / 8; }
size_t N(const CImage *img) { return size_t(img->width) * size_t(img->height) * Bpp(img); }

// The tone filters' luminosity: weighted at 3 bytes, else the first byte.
int Level(const unsigned char *p, size_t B) { return B == 3 ? Luminosite(p[0], p[1], p[2]) : p[0]; }

}  // namespace

void Luminosite(CImage *img, int lum, int rouge, int vert, int bleu)
{
    const size_t B = Bpp(img), n = N(img);
    unsigned char *d = img->data;
    if (B == 1 && lum != 0) {
        long double f = static_cast<long double>(lum) / 100.0f + 1.0f;
        for (size_t i = 0; i < n; ++i)
            d[i] = TruncClamp(d[i] * f);
    } else if (B == 3 && (lum || rouge || vert || bleu)) {
        long double fr = static_cast<long double>(rouge + lum) / 100.0f + 1.0f;
        long double fg = static_cast<long double>(vert + lum) / 100.0f + 1.0f;
        long double fb = static_cast<long double>(bleu + lum) / 100.0f + 1.0f;
        for (size_t i = 0; i < n; i += 3) {
            d[i] = TruncClamp(d[i] * fr);
            d[i + 1] = TruncClamp(d[i + 1] * fg);
            d[i + 2] = TruncClamp(d[i + 2] * fb);
        }
    }
}

void Contraste(CImage *img, int contraste)
{
    const size_t B = Bpp(img), n = N(img);
    if ((B != 1 && B != 3) || contraste == 0)
        return;
    long double k = static_cast<long double>(contraste) / 100.0f;
    for (size_t i = 0; i < n; ++i) {
        int v = img->data[i];
        img->data[i] = TruncClamp(v + (v - 127) * k);
    }
}

void Saturation(CImage *img, int saturation)
{
    if (Bpp(img) != 3 || saturation == 0)
        return;
    const size_t n = N(img);
    long double k = static_cast<long double>(saturation) / 100.0f;
    for (size_t i = 0; i < n; i += 3) {
        unsigned char *p = img->data + i;
        int c0 = p[0], c1 = p[1], c2 = p[2];
        long double m = static_cast<long double>(c0 + c1 + c2) / 3.0f;
        p[0] = TruncClamp(c0 + k * (c0 - m));
        p[1] = TruncClamp(c1 + k * (c1 - m));
        p[2] = TruncClamp(c2 + k * (c2 - m));
    }
}

void Negatif(CImage *img)
{
    for (size_t i = 0; i < N(img); ++i)
        img->data[i] = 255 - img->data[i];
}

void NiveauxGris(CImage *img)
{
    if (img->bpp != 24)
        return;
    size_t pixels = size_t(img->width) * size_t(img->height);
    unsigned char *grey = new unsigned char[pixels];
    for (size_t k = 0; k < pixels; ++k)
        grey[k] = Luminosite(img->data[3 * k], img->data[3 * k + 1], img->data[3 * k + 2]);
    img->Replace(grey, img->width, img->height, 8);
}

void CouleursRVB(CImage *img)
{
    if (img->bpp != 8)
        return;
    size_t pixels = size_t(img->width) * size_t(img->height);
    unsigned char *colour = new unsigned char[pixels * 3];
    for (size_t k = 0; k < pixels; ++k)
        colour[3 * k] = colour[3 * k + 1] = colour[3 * k + 2] = img->data[k];
    img->Replace(colour, img->width, img->height, 24);
}

void DentsDeScie(CImage *img)
{
    const size_t B = Bpp(img), n = N(img);
    unsigned char *d = img->data;
    if (B == 3) {
        for (size_t i = 0; i < n; i += 3) {
            int v = (8 * Luminosite(d[i], d[i + 1], d[i + 2])) % 256;
            d[i] = d[i + 1] = d[i + 2] = v;
        }
    } else {
        for (size_t i = 0; i < n; ++i)
            d[i] = (8 * d[i]) % 256;
    }
}

void SeuillageAl(CImage *img, unsigned seed)
{
    const size_t B = Bpp(img), n = N(img);
    std::srand(seed);
    for (size_t i = 0; i < n; i += B) {
        int L = Level(img->data + i, B);
        int t = std::rand() % 256;
        for (size_t c = 0; c < B; ++c)
            img->data[i + c] = L > t ? 255 : 0;
    }
}

void SeuillageFixe(CImage *img, float valeur)
{
    const size_t B = Bpp(img), n = N(img);
    long long T = static_cast<long long>(25.5 * static_cast<long double>(valeur));
    for (size_t i = 0; i < n; i += B) {
        int L = Level(img->data + i, B);
        for (size_t c = 0; c < B; ++c)
            img->data[i + c] = L > T ? 255 : 0;
    }
}

void EgalHisto(CImage *img)
{
    const size_t B = Bpp(img), n = N(img);
    size_t pixels = size_t(img->width) * size_t(img->height);
    size_t q = pixels / 255;
    if (q == 0)
        return;
    size_t h[256] = {};
    for (size_t i = 0; i < n; i += B) {
        const unsigned char *p = img->data + i;
        ++h[B >= 3 ? Luminosite(p[0], p[1], p[2]) : p[0]];
    }
    int lut[256];
    lut[0] = 0;
    size_t count = h[0];
    for (int k = 1; k < 256; ++k) {
        count += h[k];
        size_t v = count / q;
        lut[k] = v > 255 ? 255 : int(v);
    }
    for (size_t i = 0; i < n; ++i)
        img->data[i] = lut[img->data[i]];
}

void EtirementHisto(CImage *img)
{
    const size_t B = Bpp(img), n = N(img);
    if (n == 0)
        return;
    std::vector<int> level(n / B);
    int lo = 255, hi = 0;
    for (size_t i = 0; i < n; i += B) {
        int L = Level(img->data + i, B);
        level[i / B] = L;
        lo = L < lo ? L : lo;
        hi = L > hi ? L : hi;
    }
    int d = hi == lo ? 1 : hi - lo;
    float S[256];
    for (int k = 0; k < 256; ++k)
        S[k] = static_cast<float>((255 * (k - lo)) / d);
    const size_t channels = B == 3 ? 3 : 1;
    for (size_t i = 0; i < n; i += B) {
        int l = level[i / B];
        for (size_t c = 0; c < channels; ++c) {
            unsigned char &byte = img->data[i + c];
            byte = l == 0 ? 0 : TruncClamp(static_cast<long double>(byte) * S[l] / l);
        }
    }
}

Histos CalcHistos(const CImage &img)
{
    Histos r;
    std::memset(r.histos, 0, sizeof r.histos);
    uint64_t sum[4] = {};
    for (int k = 0; k < 4; ++k) {
        r.max[k] = -1;
        r.min[k] = 999;
    }
    const size_t B = img.bpp / 8, n = size_t(img.width) * size_t(img.height) * B;
    auto add = [&](int k, int v) {
        ++r.histos[k][v];
        sum[k] += v;
        if (v > r.max[k])
            r.max[k] = v;
        if (v < r.min[k])
            r.min[k] = v;
    };
    for (size_t i = 0; i < n; i += B) {
        const unsigned char *p = img.data + i;
        add(0, B == 3 ? Luminosite(p[0], p[1], p[2]) : p[0]);
        if (img.bpp == 24)
            for (int k = 1; k < 4; ++k)
                add(k, p[k - 1]);
    }
    const uint64_t pixels = B ? n / B : 0;
    for (int k = 0; k < 4; ++k)
        r.moyenne[k] = pixels ? int32_t(sum[k] / pixels) : 0;
    return r;
}

}  // namespace oracle

namespace testimg {

std::unique_ptr<CImage> Random(int w, int h, int bytes, unsigned seed)
{
    auto img = std::make_unique<CImage>(w, h, 8 * bytes);
    std::mt19937 rng(seed);
    for (size_t i = 0; i < img->ByteCount(); ++i)
        img->data[i] = static_cast<unsigned char>(rng());
    return img;
}

std::unique_ptr<CImage> Filled(int w, int h, std::vector<unsigned char> pixel)
{
    auto img = std::make_unique<CImage>(w, h, 8 * int(pixel.size()));
    for (size_t i = 0; i < img->ByteCount(); ++i)
        img->data[i] = pixel[i % pixel.size()];
    return img;
}

std::unique_ptr<CImage> Row(std::vector<unsigned char> bytes, int bytes_per_pixel)
{
    return std::make_unique<CImage>(bytes.data(), int(bytes.size()) / bytes_per_pixel, 1, 8 * bytes_per_pixel);
}

std::unique_ptr<CImage> Clone(const CImage &img)
{
    return std::make_unique<CImage>(img.data, img.width, img.height, img.bpp);
}

std::vector<unsigned char> Bytes(const CImage &img)
{
    return std::vector<unsigned char>(img.data, img.data + img.ByteCount());
}

::testing::AssertionResult Same(const CImage &expected, const CImage &actual)
{
    if (expected.width != actual.width || expected.height != actual.height || expected.bpp != actual.bpp)
        return ::testing::AssertionFailure()
               << "size " << actual.width << "x" << actual.height << "x" << int(actual.bpp) << ", expected "
               << expected.width << "x" << expected.height << "x" << int(expected.bpp);
    for (size_t i = 0; i < expected.ByteCount(); ++i)
        if (expected.data[i] != actual.data[i])
            return ::testing::AssertionFailure() << "byte " << i << " is " << int(actual.data[i]) << ", expected "
                                                 << int(expected.data[i]) << " (image " << actual.width << "x"
                                                 << actual.height << "x" << int(actual.bpp) << ")";
    return ::testing::AssertionSuccess();
}

std::vector<std::pair<int, int>> AwkwardSizes()
{
    return {{1, 1}, {1, 9}, {9, 1}, {2, 3}, {3, 5}, {7, 7}, {15, 17}, {17, 15}, {254, 1},
            {1, 255}, {2, 127}, {255, 1}, {31, 33}, {61, 1}, {1201, 901}};
}

std::vector<float> CounterValues()
{
    std::vector<float> values;
    for (int step = 1; step <= 100; ++step)
        values.push_back(static_cast<float>(step / 10.0));
    return values;
}

}  // namespace testimg
