// codecs_test.cpp: the PNG, JPEG and WebP readers and the PNG and JPEG
// writers. Files made by netpbm, GraphicsMagick, cjpeg, cwebp and img2webp
// (make_codec_files.sh) are read and compared with pngtopam, djpeg and
// dwebp; the EXIF orientations, damaged files and our written files are
// tables of cases.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <functional>
#include <regex>

#include <jpeglib.h>

#include "image/pixel_decoders.h"
#include "image_test_util.h"

using mirlan::ReadError;
using testutil::Bytes;

namespace {

struct Decoded {
    std::unique_ptr<CImage> img;
    ReadError error = ReadError::kNone;
};

// A file read by the decoder its extension names.
Decoded Decode(const std::string &path)
{
    Decoded d;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0)
        return {nullptr, ReadError::kUnreadable};
    mirlan::ByteSource file(fd, size_t(st.st_size));
    const std::string ext = path.substr(path.rfind('.'));
    auto *decode = ext == ".png" ? mirlan::DecodePng : ext == ".jpg" ? mirlan::DecodeJpeg : mirlan::DecodeWebp;
    d.img.reset(decode(file, &d.error));
    close(fd);
    return d;
}

// A picture as red, green, blue, alpha bytes, so that files of any layout compare.
struct Rgba {
    int w = 0, h = 0;
    Bytes px;
    bool operator==(const Rgba &o) const { return w == o.w && h == o.h && px == o.px; }
};

Rgba FromChannels(int w, int h, int channels, const unsigned char *p)
{
    Rgba r{w, h, {}};
    for (size_t i = 0, n = size_t(w) * h; i < n; ++i, p += channels) {
        const bool grey = channels <= 2, alpha = channels == 2 || channels == 4;
        r.px.insert(r.px.end(), {p[0], p[grey ? 0 : 1], p[grey ? 0 : 2], alpha ? p[channels - 1] : static_cast<unsigned char>(255)});
    }
    return r;
}

Rgba FromImage(const CImage &img) { return FromChannels(img.width, img.height, img.bpp / 8, img.data); }

// A netpbm file (P5, P6 or P7 at maxval 255) as RGBA; empty when it is none.
Rgba FromNetpbm(const Bytes &b)
{
    const std::string text(b.begin(), b.begin() + std::min<size_t>(b.size(), 200));
    std::smatch m;
    static const std::regex pnm(R"(^P([56])\s+(\d+)\s+(\d+)\s+255\s)");
    static const std::regex pam(R"(^P7\nWIDTH (\d+)\nHEIGHT (\d+)\nDEPTH (\d)\nMAXVAL 255\n(TUPLTYPE \w+\n)?ENDHDR\n)");
    int w, h, channels;
    if (std::regex_search(text, m, pnm))
        w = std::stoi(m[2]), h = std::stoi(m[3]), channels = m[1] == "6" ? 3 : 1;
    else if (std::regex_search(text, m, pam))
        w = std::stoi(m[1]), h = std::stoi(m[2]), channels = std::stoi(m[3]);
    else
        return {};
    const size_t at = size_t(m.length(0));
    if (b.size() - at != size_t(w) * h * channels)
        return {};
    return FromChannels(w, h, channels, b.data() + at);
}

Bytes Output(const std::string &cmd)
{
    FILE *p = popen((cmd + " 2>/dev/null").c_str(), "r");
    Bytes b;
    for (int c; p && (c = std::fgetc(p)) != EOF;)
        b.push_back(static_cast<unsigned char>(c));
    return p && pclose(p) == 0 ? b : Bytes();
}

// The pictures make_codec_files.sh starts from, and the files it makes.
class Corpus : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new testutil::TempDir;
        const auto rgb = testutil::MakeImage(37, 23, 24, 5), grey = testutil::MakeImage(37, 23, 8, 6),
                   mask = testutil::MakeImage(37, 23, 8, 7);
        testutil::WriteFile(dir->File("rgb.ppm"), testutil::ToPpm(*rgb));
        for (auto g : {std::make_pair(grey.get(), "grey.pgm"), std::make_pair(mask.get(), "mask.pgm")}) {
            const std::string head = "P5\n37 23\n255\n";
            Bytes out(head.begin(), head.end());
            out.insert(out.end(), g.first->data, g.first->data + g.first->ByteCount());
            testutil::WriteFile(dir->File(g.second), out);
        }
        const std::string script = std::string(MIRLAN_SOURCE_DIR) + "/tests/image/make_codec_files.sh";
        ASSERT_EQ(std::system(("bash '" + script + "' '" + dir->path + "'").c_str()), 0);
        WriteYcck(dir->File("ycck.jpg"));
    }

    // A YCCK file (Adobe's inverted CMYK, as Photoshop writes), which no
    // tool here makes: libjpeg writes it from pseudo-random CMYK samples.
    static void WriteYcck(const std::string &path)
    {
        const auto cmyk = testutil::MakeImage(37, 23, 32, 8);
        FILE *f = std::fopen(path.c_str(), "wb");
        jpeg_compress_struct c;
        jpeg_error_mgr errors;
        c.err = jpeg_std_error(&errors);
        jpeg_create_compress(&c);
        jpeg_stdio_dest(&c, f);
        c.image_width = 37;
        c.image_height = 23;
        c.input_components = 4;
        c.in_color_space = JCS_CMYK;
        jpeg_set_defaults(&c);
        jpeg_set_colorspace(&c, JCS_YCCK);
        jpeg_start_compress(&c, TRUE);
        for (JSAMPROW row; c.next_scanline < c.image_height; jpeg_write_scanlines(&c, &row, 1))
            row = cmyk->data + c.next_scanline * cmyk->RowBytes();
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::fclose(f);
    }
    static void TearDownTestSuite() { delete dir; }
    static std::string File(const std::string &name) { return dir->File(name); }
    static testutil::TempDir *dir;
};
testutil::TempDir *Corpus::dir = nullptr;

// Files named "-trns" make the first pixel's colour transparent; pngtopam
// gives no alpha for truecolour tRNS (libpng-based vips does), so the
// expectation adds it.
Rgba WithFirstColourTransparent(Rgba r)
{
    for (size_t i = 0; i < r.px.size(); i += 4)
        if (std::equal(r.px.begin() + i, r.px.begin() + i + 3, r.px.begin()))
            r.px[i + 3] = 0;
    return r;
}

TEST_F(Corpus, EachFileReadsAsTheIndependentDecoderReadsIt)
{
    const std::string png = "pngtopam -alphapam F | pamdepth 255", jpeg = "djpeg F", webp = "dwebp -quiet -pam F -o -";
    const struct {
        const char *file;
        int bpp;
        std::string oracle;
    } rows[] = {
        {"grey1.png", 8, png}, {"grey2.png", 8, png}, {"grey4.png", 8, png}, {"grey8.png", 8, png},
        {"grey8-interlaced.png", 8, png}, {"grey16.png", 8, png}, {"grey16-interlaced.png", 8, png},
        {"grey8-trns.png", 32, png}, {"grey16-trns.png", 32, png}, {"grey-alpha8.png", 32, png},
        {"grey-alpha16.png", 32, png}, {"rgb8.png", 24, png}, {"rgb8-interlaced.png", 24, png},
        {"rgb16.png", 24, png}, {"rgb8-trns.png", 32, png}, {"rgb16-trns.png", 32, png}, {"rgba8.png", 32, png},
        {"rgba8-interlaced.png", 32, png}, {"rgba16.png", 32, png}, {"rgba16-interlaced.png", 32, png},
        {"palette2.png", 24, png}, {"palette4.png", 24, png}, {"palette16.png", 24, png},
        {"palette200.png", 24, png}, {"palette16-interlaced.png", 24, png}, {"palette16-trns.png", 32, png},
        {"gm-rgb.png", 24, png},
        {"baseline.jpg", 24, jpeg}, {"baseline444.jpg", 24, jpeg}, {"progressive.jpg", 24, jpeg},
        {"grey.jpg", 8, jpeg}, {"grey-progressive.jpg", 8, jpeg}, {"restart.jpg", 24, jpeg},
        {"arithmetic.jpg", 24, jpeg}, {"cmyk.jpg", 24, jpeg}, {"ycck.jpg", 24, jpeg},
        {"lossy.webp", 24, webp}, {"lossy-alpha.webp", 32, webp}, {"lossless.webp", 24, webp},
        {"lossless-alpha.webp", 32, webp}, {"animated.webp", 24, "cat rgb.ppm"},  // its first frame
    };
    for (const auto &row : rows) {
        const std::string path = File(row.file);
        const Decoded ours = Decode(path);
        ASSERT_TRUE(ours.img) << row.file << " error " << int(ours.error);
        EXPECT_EQ(ours.img->bpp, row.bpp) << row.file;
        const std::string cmd = std::regex_replace(row.oracle, std::regex("F"), "'" + path + "'");
        Rgba theirs = FromNetpbm(Output("cd '" + dir->path + "' && " + cmd));
        ASSERT_GT(theirs.w, 0) << cmd;
        if (std::strstr(row.file, "-trns"))
            theirs = WithFirstColourTransparent(theirs);
        EXPECT_TRUE(FromImage(*ours.img) == theirs) << row.file;
    }
}

// ------------------------------------------------------------------ EXIF

Bytes Be16(unsigned v) { return {static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)}; }

// An APP1 segment holding a TIFF header and one directory of one entry.
Bytes ExifSegment(bool little, unsigned tag, unsigned type, unsigned value, uint32_t directoryAt)
{
    auto u16 = [&](unsigned v) { Bytes b = Be16(v); if (little) std::swap(b[0], b[1]); return b; };
    auto u32 = [&](uint32_t v) { Bytes hi = u16(v >> 16), lo = u16(v & 0xFFFF); return little ? Bytes{lo[0], lo[1], hi[0], hi[1]} : Bytes{hi[0], hi[1], lo[0], lo[1]}; };
    Bytes tiff = {static_cast<unsigned char>(little ? 'I' : 'M'), static_cast<unsigned char>(little ? 'I' : 'M')};
    for (const Bytes &part : {u16(42), u32(directoryAt), u16(1), u16(tag), u16(type), u32(1), u16(value), u16(0), u32(0)})
        tiff.insert(tiff.end(), part.begin(), part.end());
    Bytes seg = {0xFF, 0xE1};
    const Bytes length = Be16(unsigned(2 + 6 + tiff.size()));
    seg.insert(seg.end(), length.begin(), length.end());
    seg.insert(seg.end(), {'E', 'x', 'i', 'f', 0, 0});
    seg.insert(seg.end(), tiff.begin(), tiff.end());
    return seg;
}

TEST_F(Corpus, ExifOrientationTurnsThePictureUpright)
{
    using Map = std::function<std::pair<int, int>(int x, int y, int w, int h)>;  // upright pixel -> stored one
    const Map same = [](int x, int y, int, int) { return std::make_pair(x, y); };
    const struct {
        const char *what;
        bool little;
        unsigned tag, type, value;
        uint32_t directoryAt;
        bool turned;
        Map from;
    } rows[] = {
        {"1 as stored", true, 0x112, 3, 1, 8, false, same},
        {"2 mirrored", false, 0x112, 3, 2, 8, false, [](int x, int y, int w, int) { return std::make_pair(w - 1 - x, y); }},
        {"3 half turn", true, 0x112, 3, 3, 8, false, [](int x, int y, int w, int h) { return std::make_pair(w - 1 - x, h - 1 - y); }},
        {"4 flipped", false, 0x112, 3, 4, 8, false, [](int x, int y, int, int h) { return std::make_pair(x, h - 1 - y); }},
        {"5 transposed", true, 0x112, 3, 5, 8, true, [](int x, int y, int, int) { return std::make_pair(y, x); }},
        {"6 stored a quarter anticlockwise", false, 0x112, 3, 6, 8, true, [](int x, int y, int, int h) { return std::make_pair(y, h - 1 - x); }},
        {"7 transversed", true, 0x112, 3, 7, 8, true, [](int x, int y, int w, int h) { return std::make_pair(w - 1 - y, h - 1 - x); }},
        {"8 stored a quarter clockwise", false, 0x112, 3, 8, 8, true, [](int x, int y, int w, int) { return std::make_pair(w - 1 - y, x); }},
        {"value 9 ignored", true, 0x112, 3, 9, 8, false, same},
        {"value 0 ignored", false, 0x112, 3, 0, 8, false, same},
        {"another tag ignored", true, 0x110, 3, 6, 8, false, same},
        {"a long instead of a short ignored", true, 0x112, 4, 6, 8, false, same},
        {"directory past the segment ignored", true, 0x112, 3, 6, 4000, false, same},
        {"directory at the last byte ignored", false, 0x112, 3, 6, 25, false, same},
        {"directory offset wrapping ignored", true, 0x112, 3, 6, 0xFFFFFFF8u, false, same},
    };
    const Bytes jpeg = testutil::ReadFile(File("baseline.jpg"));
    const Rgba stored = FromNetpbm(Output("djpeg '" + File("baseline.jpg") + "'"));
    ASSERT_EQ(stored.w, 37);
    for (const auto &row : rows) {
        Bytes file(jpeg.begin(), jpeg.begin() + 2);
        const Bytes seg = ExifSegment(row.little, row.tag, row.type, row.value, row.directoryAt);
        file.insert(file.end(), seg.begin(), seg.end());
        file.insert(file.end(), jpeg.begin() + 2, jpeg.end());
        testutil::WriteFile(File("exif.jpg"), file);
        Rgba want{row.turned ? stored.h : stored.w, row.turned ? stored.w : stored.h, {}};
        for (int y = 0; y < want.h; ++y)
            for (int x = 0; x < want.w; ++x) {
                const auto s = row.from(x, y, stored.w, stored.h);
                const size_t at = 4 * (size_t(s.second) * stored.w + s.first);
                want.px.insert(want.px.end(), stored.px.begin() + at, stored.px.begin() + at + 4);
            }
        const Decoded ours = Decode(File("exif.jpg"));
        ASSERT_TRUE(ours.img) << row.what;
        EXPECT_TRUE(FromImage(*ours.img) == want) << row.what;
    }
}

// ------------------------------------------------------- damaged files

uint32_t Crc32(const unsigned char *p, size_t n)
{
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

void PutBe32(unsigned char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

// The PNG with the data of its chunk `type` passed through edit, its
// length and CRC made right again.
Bytes EditChunk(const Bytes &png, const char *type, const std::function<void(Bytes &)> &edit)
{
    Bytes out(png.begin(), png.begin() + 8);
    for (size_t at = 8; at + 12 <= png.size();) {
        const size_t n = size_t(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        Bytes body(png.begin() + at + 4, png.begin() + at + 8 + n);  // type and data
        if (std::memcmp(body.data(), type, 4) == 0) {
            Bytes data(body.begin() + 4, body.end());
            edit(data);
            body.resize(4);
            body.insert(body.end(), data.begin(), data.end());
        }
        unsigned char word[4];
        PutBe32(word, uint32_t(body.size() - 4));
        out.insert(out.end(), word, word + 4);
        out.insert(out.end(), body.begin(), body.end());
        PutBe32(word, Crc32(body.data(), body.size()));
        out.insert(out.end(), word, word + 4);
        at += n + 12;
    }
    return out;
}

// The JPEG with its first scan (SOS to the next marker) repeated `times` more.
Bytes RepeatFirstScan(const Bytes &jpeg, int times)
{
    size_t sos = 2;
    while (sos + 4 < jpeg.size() && !(jpeg[sos] == 0xFF && jpeg[sos + 1] == 0xDA))
        sos += 2 + (jpeg[sos + 2] << 8 | jpeg[sos + 3]);
    size_t end = sos + 2;
    while (end + 1 < jpeg.size() && !(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] < 0xD0 || jpeg[end + 1] > 0xD7)))
        ++end;
    Bytes out(jpeg.begin(), jpeg.begin() + end);
    for (int i = 0; i < times; ++i)
        out.insert(out.end(), jpeg.begin() + sos, jpeg.begin() + end);
    out.insert(out.end(), jpeg.begin() + end, jpeg.end());
    return out;
}

Bytes Patched(Bytes b, size_t at, const Bytes &with)
{
    std::copy(with.begin(), with.end(), b.begin() + at);
    return b;
}

TEST_F(Corpus, DamagedFilesAreRefused)
{
    auto file = [](const char *name) { return testutil::ReadFile(File(name)); };
    auto sides = [](uint32_t w, uint32_t h) {
        return [=](Bytes &ihdr) { PutBe32(&ihdr[0], w); PutBe32(&ihdr[4], h); };
    };
    const Bytes png = file("rgb8.png"), jpeg = file("baseline.jpg"), anim = file("animated.webp");
    const Bytes sof = {0xFF, 0xC0};
    const size_t sofAt = size_t(std::search(jpeg.begin(), jpeg.end(), sof.begin(), sof.end()) - jpeg.begin());
    Bytes badCrc = png;
    badCrc[badCrc.size() - 13] ^= 1;  // the last byte of IDAT's CRC
    Bytes junkAfterSignature(png.begin(), png.begin() + 8);
    junkAfterSignature.resize(600, 0x5A);
    const struct {
        const char *what, *ext;
        Bytes bytes;
        ReadError error;
    } rows[] = {
        {"PNG 100000 x 100000", ".png", EditChunk(png, "IHDR", sides(100000, 100000)), ReadError::kTooLarge},
        {"PNG 32768 wide", ".png", EditChunk(png, "IHDR", sides(32768, 1)), ReadError::kTooLarge},
        {"PNG 0 high", ".png", EditChunk(png, "IHDR", sides(10, 0)), ReadError::kBadFormat},
        {"PNG bit depth 3", ".png", EditChunk(png, "IHDR", [](Bytes &d) { d[8] = 3; }), ReadError::kBadFormat},
        {"PNG IDAT with a bad CRC", ".png", badCrc, ReadError::kBadFormat},
        {"PNG damaged deflate stream", ".png", EditChunk(png, "IDAT", [](Bytes &d) { d[2] ^= 0xFF; d[3] ^= 0xFF; }), ReadError::kBadFormat},
        {"PNG index past the palette", ".png", EditChunk(file("palette16.png"), "PLTE", [](Bytes &d) { d.resize(3); }), ReadError::kBadFormat},
        {"PNG garbage after the signature", ".png", junkAfterSignature, ReadError::kBadFormat},
        {"JPEG 65500 wide", ".jpg", Patched(jpeg, sofAt + 7, {0xFF, 0xDC}), ReadError::kTooLarge},
        {"JPEG 0 wide", ".jpg", Patched(jpeg, sofAt + 7, {0, 0}), ReadError::kBadFormat},
        {"JPEG with 1500 scans", ".jpg", RepeatFirstScan(file("grey-progressive.jpg"), 1500), ReadError::kBadFormat},
        {"JPEG garbage after SOI", ".jpg", Patched(jpeg, 2, Bytes(jpeg.size() - 2, 0x5A)), ReadError::kBadFormat},
        {"WebP canvas 40000 wide", ".webp", Patched(anim, 24, {0x3F, 0x9C, 0x00}), ReadError::kTooLarge},
        {"WebP garbage after the header", ".webp", Patched(anim, 12, Bytes(anim.size() - 12, 0x5A)), ReadError::kBadFormat},
    };
    for (const auto &row : rows) {
        const std::string path = File(std::string("damaged") + row.ext);
        testutil::WriteFile(path, row.bytes);
        const Decoded d = Decode(path);
        EXPECT_FALSE(d.img) << row.what;
        EXPECT_EQ(int(d.error), int(row.error)) << row.what;
    }
    // A repeated scan is only a warning: fewer repeats open.
    testutil::WriteFile(File("scans.jpg"), RepeatFirstScan(file("grey-progressive.jpg"), 900));
    EXPECT_TRUE(Decode(File("scans.jpg")).img);
}

TEST_F(Corpus, EveryCutOfASmallFileIsRefused)
{
    for (const char *name : {"rgb8.png", "palette16-trns.png", "rgba16-interlaced.png", "baseline.jpg",
                             "progressive.jpg", "cmyk.jpg", "lossy.webp", "lossless-alpha.webp", "animated.webp"}) {
        const Bytes whole = testutil::ReadFile(File(name));
        const std::string cut = File(std::string("cut") + std::strrchr(name, '.'));
        ASSERT_TRUE(Decode(File(name)).img) << name;
        for (size_t n = 0; n < whole.size(); ++n) {
            testutil::WriteFile(cut, Bytes(whole.begin(), whole.begin() + n));
            const Decoded d = Decode(cut);
            EXPECT_TRUE(!d.img && d.error == ReadError::kBadFormat) << name << " cut at " << n;
        }
    }
}

// A huge picture opens or is refused for memory; it never ends the program.
TEST(Codecs, HugePngOpensOrIsRefusedForMemory)
{
    testutil::TempDir dir;
    {
        CImage zeros(30000, 30000, 8);
        std::memset(zeros.data, 0, zeros.ByteCount());
        ASSERT_EQ(CImage::SavePNG(&zeros, dir.File("zeros.png").c_str()), CImage::kOk);
    }
    const Decoded d = Decode(dir.File("zeros.png"));
    EXPECT_TRUE(d.img ? d.img->width == 30000 && d.img->data[d.img->ByteCount() - 1] == 0
                      : d.error == ReadError::kNoMemory);
}

// ------------------------------------------------------------- writers

// A smooth picture (JPEG's kind) at the given depth.
std::unique_ptr<CImage> Smooth(int w, int h, int bpp)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < bpp / 8; ++c)
                img->data[(size_t(y) * w + x) * (bpp / 8) + c] = static_cast<unsigned char>((x * (c + 1) + y) & 255);
    return img;
}

TEST(Codecs, PngRoundTripsExactly)
{
    testutil::TempDir dir;
    const std::string path = dir.File("o.png");
    for (int bpp : {8, 16, 24, 32})
        for (auto size : {std::pair<int, int>{1, 1}, {37, 23}, {700, 600}}) {
            SCOPED_TRACE(std::to_string(bpp) + " bits " + std::to_string(size.first) + "x" + std::to_string(size.second));
            auto img = testutil::MakeImage(size.first, size.second, bpp, unsigned(bpp * size.first));
            ASSERT_EQ(CImage::SavePNG(img.get(), path.c_str()), CImage::kOk);
            // 16-bit (grey, alpha) images are written as their grey.
            const Rgba want = bpp == 16 ? FromNetpbm(testutil::ToPpm(*img)) : FromImage(*img);
            EXPECT_TRUE(FromNetpbm(Output("pngtopam -alphapam '" + path + "'")) == want);
            const Decoded ours = Decode(path);
            ASSERT_TRUE(ours.img);
            EXPECT_EQ(ours.img->bpp, bpp == 16 ? 8 : bpp);
            EXPECT_TRUE(FromImage(*ours.img) == want);
        }
}

// The number of components the file's frame header declares.
int JpegComponents(const Bytes &b)
{
    for (size_t at = 2; at + 10 < b.size(); at += 2 + (b[at + 2] << 8 | b[at + 3]))
        if (b[at + 1] == 0xC0 || b[at + 1] == 0xC2)
            return b[at + 9];
    return 0;
}

TEST(Codecs, JpegWritesCloseToTheOriginalAndHonoursQuality)
{
    testutil::TempDir dir;
    const std::string path = dir.File("o.jpg");
    for (int bpp : {8, 16, 24, 32}) {
        SCOPED_TRACE(std::to_string(bpp) + " bits");
        auto img = Smooth(64, 48, bpp);
        size_t lastSize = 0;
        for (int quality : {10, 50, 90, 100}) {
            ASSERT_EQ(CImage::SaveJPEG(img.get(), path.c_str(), quality), CImage::kOk);
            const Bytes file = testutil::ReadFile(path);
            EXPECT_GT(file.size(), lastSize) << "quality " << quality;
            lastSize = file.size();
            EXPECT_EQ(JpegComponents(file), bpp <= 16 ? 1 : 3);
            const Rgba back = FromNetpbm(Output("djpeg '" + path + "'"));
            const Rgba want = bpp == 16 ? FromNetpbm(testutil::ToPpm(*img)) : FromImage(*img);
            ASSERT_EQ(back.px.size(), want.px.size());
            double error = 0;
            for (size_t i = 0; i < want.px.size(); i += 4)
                for (int c = 0; c < 3; ++c)
                    error += std::abs(int(back.px[i + c]) - int(want.px[i + c]));
            EXPECT_LT(error / (3.0 * want.w * want.h), quality >= 90 ? 1.5 : 12) << "quality " << quality;
        }
    }
}

TEST(Codecs, WritersFailOnAFolderThatIsMissing)
{
    auto img = Smooth(4, 4, 24);
    EXPECT_EQ(CImage::SavePNG(img.get(), "/nonexistent-folder/o.png"), CImage::kWriteFailed);
    EXPECT_EQ(CImage::SaveJPEG(img.get(), "/nonexistent-folder/o.jpg"), CImage::kWriteFailed);
}

}  // namespace
