// oracle.cpp: the plain forms of the image operations and the test images.
#include "oracle.h"

#include <FL/Fl_Image.H>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <thread>

namespace oracle {

int Lum(int c0, int c1, int c2)
{
    const long double r = c0, g = c1, b = c2;  // the weights stay double constants
    return static_cast<int>((r * 0.707 + g * 0.202) + b * 0.091);
}

namespace {

size_t B(const CImage *img) { return img->bpp / 8; }
size_t N(const CImage *img) { return size_t(img->width) * size_t(img->height) * B(img); }

// Truncated toward zero, then clamped to 0..255.
int TruncClamp(long double v) { return int(std::clamp(static_cast<long long>(v), 0LL, 255LL)); }

// The tone filters' level: the weighted luminosity at 3 bytes, else byte 0.
int Level(const unsigned char *p, size_t bytes) { return bytes == 3 ? Lum(p[0], p[1], p[2]) : p[0]; }

// Every byte of a pixel set to 255 when its level is above threshold(), else 0.
template <class Threshold>
void ToBlackAndWhite(CImage *img, Threshold threshold)
{
    for (size_t i = 0; i < N(img); i += B(img)) {
        const bool white = Level(img->data + i, B(img)) > threshold();
        std::memset(img->data + i, white ? 255 : 0, B(img));
    }
}

}  // namespace

void Luminosite(CImage *img, int lum, int rouge, int vert, int bleu)
{
    if (!(B(img) == 1 && lum) && !(B(img) == 3 && (lum || rouge || vert || bleu)))
        return;
    const int gains[3] = {rouge + lum, vert + lum, bleu + lum};
    for (size_t i = 0; i < N(img); ++i) {
        const long double f = static_cast<long double>(B(img) == 1 ? lum : gains[i % 3]) / 100.0f + 1.0f;
        img->data[i] = TruncClamp(img->data[i] * f);
    }
}

void Contraste(CImage *img, int contraste)
{
    if (B(img) != 1 && B(img) != 3)
        return;
    const long double k = static_cast<long double>(contraste) / 100.0f;
    for (size_t i = 0; i < N(img); ++i)
        img->data[i] = TruncClamp(img->data[i] + (img->data[i] - 127) * k);
}

void Saturation(CImage *img, int saturation)
{
    if (B(img) != 3)
        return;
    const long double k = static_cast<long double>(saturation) / 100.0f;
    for (unsigned char *p = img->data; p != img->data + N(img); p += 3) {
        const int c[3] = {p[0], p[1], p[2]};
        const long double m = static_cast<long double>(c[0] + c[1] + c[2]) / 3.0f;
        for (int j = 0; j < 3; ++j)
            p[j] = TruncClamp(c[j] + k * (c[j] - m));
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
    unsigned char *grey = new unsigned char[N(img) / 3];
    for (size_t k = 0; k < N(img) / 3; ++k)
        grey[k] = Lum(img->data[3 * k], img->data[3 * k + 1], img->data[3 * k + 2]);
    img->Replace(grey, img->width, img->height, 8);
}

void CouleursRVB(CImage *img)
{
    if (img->bpp != 8)
        return;
    unsigned char *colour = new unsigned char[N(img) * 3];
    for (size_t k = 0; k < N(img); ++k)
        std::memset(colour + 3 * k, img->data[k], 3);
    img->Replace(colour, img->width, img->height, 24);
}

void DentsDeScie(CImage *img)
{
    const size_t step = B(img) == 3 ? 3 : 1;
    for (unsigned char *p = img->data; p != img->data + N(img); p += step)
        std::memset(p, (8 * (step == 3 ? Lum(p[0], p[1], p[2]) : p[0])) % 256, step);
}

void SeuillageAl(CImage *img, unsigned seed)
{
    std::srand(seed);
    ToBlackAndWhite(img, [] { return std::rand() % 256; });
}

void SeuillageFixe(CImage *img, float valeur)
{
    const long double t = std::trunc(25.5 * static_cast<long double>(valeur));
    ToBlackAndWhite(img, [t] { return t; });
}

void EgalHisto(CImage *img)
{
    const size_t q = N(img) / B(img) / 255;
    if (q == 0)
        return;
    size_t h[256] = {}, lut[256] = {};
    for (const unsigned char *p = img->data; p != img->data + N(img); p += B(img))
        ++h[B(img) >= 3 ? Lum(p[0], p[1], p[2]) : p[0]];
    for (size_t k = 1, count = h[0]; k < 256; ++k)
        lut[k] = std::min<size_t>(255, (count += h[k]) / q);
    for (size_t i = 0; i < N(img); ++i)
        img->data[i] = lut[img->data[i]];
}

void EtirementHisto(CImage *img)
{
    std::vector<int> level;
    int lo = 255, hi = 0;
    for (size_t i = 0; i < N(img); i += B(img)) {
        level.push_back(Level(img->data + i, B(img)));
        lo = std::min(lo, level.back());
        hi = std::max(hi, level.back());
    }
    const int d = hi == lo ? 1 : hi - lo;
    float S[256];
    for (int k = 0; k < 256; ++k)
        S[k] = static_cast<float>((255 * (k - lo)) / d);
    for (size_t p = 0; p < level.size(); ++p)
        for (size_t c = 0, l = level[p]; c < (B(img) == 3 ? 3u : 1u); ++c) {
            unsigned char &byte = img->data[p * B(img) + c];
            byte = l == 0 ? 0 : TruncClamp(byte * static_cast<long double>(S[l]) / l);
        }
}

void Distance(CImage *img, sRGB couleur, int x, int y, float valeur, bool chessboard)
{
    if (!(valeur > 0))  // no scale: nothing to draw
        return;
    const int64_t bytes = B(img), R = int64_t(img->width) * bytes;
    const bool selected[3] = {bytes == 1 || couleur.r, couleur.g != 0, couleur.b != 0};
    for (int64_t i = 0; i < int64_t(N(img)); i += bytes) {
        const long double a = static_cast<long double>(std::llabs(i % R - int64_t(x) * bytes) / bytes) / valeur;
        const long double b = static_cast<long double>(std::llabs(i / R - y)) / valeur;
        const long double v = chessboard ? (b > a ? b : a) : a + b;  // truncated as it is stored
        for (int64_t k = 0; k < std::min<int64_t>(bytes, 3); ++k)
            if (selected[k])
                img->data[i + k] = v > 255 ? 255 : static_cast<unsigned char>(v);
    }
}

void Redimensionne(CImage *img, int w, int h)
{
    if ((w == img->width && h == img->height) || w < 1 || h < 1 || w > 32767 || h > 32767)
        return;
    Fl_RGB_Image wrapper(img->data, img->width, img->height, int(B(img)));
    Fl_Image *resized = wrapper.copy(w, h);
    unsigned char *pixels = new unsigned char[CImage::ByteCount(w, h, resized->d() * 8)];
    std::memcpy(pixels, resized->data()[0], CImage::ByteCount(w, h, resized->d() * 8));
    img->Replace(pixels, w, h, resized->d() * 8);
    delete resized;
}

Histos CalcHistos(const CImage &img)
{
    Histos r;
    uint64_t sum[4] = {};
    auto add = [&](int k, int v) {
        ++r.histos[k][v];
        sum[k] += v;
        r.max[k] = std::max(r.max[k], v);
        r.min[k] = std::min(r.min[k], v);
    };
    for (size_t i = 0; i < N(&img); i += B(&img)) {
        const unsigned char *p = img.data + i;
        add(0, Level(p, B(&img)));
        for (int k = 1; k < 4 && img.bpp == 24; ++k)
            add(k, p[k - 1]);
    }
    const uint64_t pixels = N(&img) ? N(&img) / B(&img) : 1;
    for (int k = 0; k < 4; ++k)
        r.moyenne[k] = int32_t(sum[k] / pixels);
    return r;
}

}  // namespace oracle

namespace testimg {

std::unique_ptr<CImage> Random(int w, int h, int bytes, unsigned seed)
{
    auto img = std::make_unique<CImage>(w, h, 8 * bytes);
    std::mt19937 rng(seed);
    std::generate(img->data, img->data + img->ByteCount(), [&rng] { return static_cast<unsigned char>(rng()); });
    return img;
}

std::unique_ptr<CImage> Of(std::vector<unsigned char> bytes, int bytes_per_pixel, int w)
{
    const int pixels = int(bytes.size()) / bytes_per_pixel;
    return std::make_unique<CImage>(bytes.data(), w ? w : pixels, w ? pixels / w : 1, 8 * bytes_per_pixel);
}

::testing::AssertionResult Match(const CImage &input, const Op &op, const Op &plain)
{
    CImage fast(input.data, input.width, input.height, input.bpp);
    CImage ref(input.data, input.width, input.height, input.bpp);
    op(&fast);
    plain(&ref);
    const size_t n = std::min(ref.ByteCount(), fast.ByteCount());
    const size_t i = std::mismatch(ref.data, ref.data + n, fast.data).first - ref.data;
    if (ref.width == fast.width && ref.height == fast.height && ref.bpp == fast.bpp && i == n)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "byte " << i << " of " << fast.width << "x" << fast.height << "x"
                                         << int(fast.bpp) << " differs, or the size or depth";
}

std::vector<float> CounterValues()
{
    std::vector<float> values;
    for (int step = 1; step <= 100; ++step)
        values.push_back(static_cast<float>(step / 10.0));
    return values;
}

void ForEach(size_t count, const std::function<void(size_t)> &body)
{
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i; (i = next++) < count;)
            body(i);
    };
    std::vector<std::thread> helpers(std::max(1u, std::thread::hardware_concurrency()) - 1);
    for (auto &helper : helpers)
        helper = std::thread(work);
    work();
    for (auto &helper : helpers)
        helper.join();
}

::testing::AssertionResult WithinOneSecond(const std::function<::testing::AssertionResult(unsigned)> &run)
{
    for (;;) {
        const std::time_t start = std::time(nullptr);
        ::testing::AssertionResult result = run(static_cast<unsigned>(start));
        if (std::time(nullptr) == start)
            return result;
    }
}

}  // namespace testimg
