// hostile_files_test.cpp: files that must not open, opened through the real
// open command: truncated at every header offset, zero, huge and
// overflowing sizes, wrong types and depths, lying BMP and PNM headers,
// things that are not readable files at all, and names whose extension is
// missing or only in a folder's name. Each must end in the view's one alert
// and an empty, consistent window, whether or not an image was open before.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "hardening_fixture.h"

namespace hardening {
namespace {

using Bytes = std::vector<unsigned char>;

void Put16(Bytes &b, size_t at, unsigned v)
{
    b[at] = v & 255;
    b[at + 1] = (v >> 8) & 255;
}

void Put32(Bytes &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = (v >> (8 * i)) & 255;
}

Bytes Text(const std::string &s) { return Bytes(s.begin(), s.end()); }

// A valid file of a small picture, written by our own writers (BMP, TGA)
// or by hand (PPM, PGM).
class Valid {
public:
    explicit Valid(const std::string &dir) : dir_(dir) {}

    Bytes Bmp(int bpp) { return Saved(CImage::SaveBMP, bpp, "v.bmp"); }
    Bytes Tga(int bpp) { return Saved(CImage::SaveTGA, bpp, "v.tga"); }
    static Bytes Pnm(const char *magic, int channels, int w = 5, int h = 3)
    {
        Bytes b = Text(std::string(magic) + "\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n");
        for (int i = 0; i < w * h * channels; ++i)
            b.push_back(static_cast<unsigned char>(i * 17));
        return b;
    }

private:
    Bytes Saved(int (*save)(CImage *, const char *), int bpp, const char *file)
    {
        std::unique_ptr<CImage> img(PatternImage(5, 3, bpp));
        const std::string path = dir_ + "/" + file;
        EXPECT_EQ(save(img.get(), path.c_str()), CImage::kOk);
        Bytes b = ReadFile(path);
        std::filesystem::remove(path);
        return b;
    }
    std::string dir_;
};

struct Hostile {
    std::string file;  // name in the test's folder
    Bytes bytes;
};

class HostileFiles : public HardeningTest {
protected:
    // Opens every file once from an empty window and once over an open
    // image; each must give exactly the load alert and leave the window as
    // it was.
    // Returns how many opens were tried.
    int ExpectAllRefused(const std::vector<Hostile> &files)
    {
        const std::string good = Path("good.ppm");
        WriteFile(good, Valid::Pnm("P6", 3, 7, 4));
        int tried = 0;
        for (bool overOpenImage : {false, true}) {
            for (const Hostile &h : files) {
                SCOPED_TRACE(h.file + (overOpenImage ? " over an open image" : " in an empty window"));
                if (overOpenImage) {
                    Open(good);
                    EXPECT_NE(ui->getImage(), nullptr);
                }
                const CImage *before = ui->getImage();
                const std::string path = Path(h.file);
                WriteFile(path, h.bytes);
                Fake().alerts.clear();
                Open(path);
                EXPECT_EQ(Fake().alerts, std::vector<std::string>{kLoadFailed});
                EXPECT_EQ(ui->getImage(), before);
                ExpectConsistent();
                std::filesystem::remove(path);
                ++tried;
            }
        }
        RecordProperty("hostile_opens", tried);
        return tried;
    }
};

int OpenDescriptors()
{
    int n = 0;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++n;
    }
    return n;
}

TEST_F(HostileFiles, TruncatedAtEveryOffsetAreRefused)
{
    Valid valid(dir);
    std::vector<Hostile> files;
    auto cuts = [&](const Bytes &whole, size_t upTo, const std::string &ext) {
        for (size_t n = 0; n < upTo; ++n)
            files.push_back({"cut" + std::to_string(n) + ext, Bytes(whole.begin(), whole.begin() + n)});
    };
    // BMP and binary PNM files need every pixel byte: cut anywhere, refused.
    for (int bpp : {8, 24}) {
        const Bytes bmp = valid.Bmp(bpp);
        cuts(bmp, bpp == 8 ? 54 + 1024 + 4 : bmp.size(), "_" + std::to_string(bpp) + ".bmp");
    }
    const Bytes ppm = Valid::Pnm("P6", 3), pgm = Valid::Pnm("P5", 1);
    cuts(ppm, ppm.size(), ".ppm");
    cuts(pgm, pgm.size(), ".pgm");
    // A TGA file cut inside its 18-byte header is refused; one cut in its
    // pixels loads with the missing ones black (see the next test).
    cuts(valid.Tga(24), 18, ".tga");
    EXPECT_GT(ExpectAllRefused(files), 600);
}

TEST_F(HostileFiles, TgaCutInItsPixelsLoadsWithTheMissingOnesBlack)
{
    Valid valid(dir);
    const Bytes whole = valid.Tga(24);
    const std::string path = Path("short.tga");
    WriteFile(path, Bytes(whole.begin(), whole.begin() + 18 + 3 * 5 + 2));
    Open(path);
    ASSERT_NE(ui->getImage(), nullptr);
    EXPECT_TRUE(Fake().alerts.empty());
    const CImage &img = *ui->getImage();
    // The file holds the bottom row and two bytes (blue, green) of the
    // middle row's first pixel; everything else reads as 0.
    const size_t row = img.RowBytes();
    ASSERT_EQ(row, 15u);
    const std::vector<unsigned char> got(img.data, img.data + 3 * row);
    std::vector<unsigned char> want(3 * row, 0);
    want[row + 1] = whole[18 + 15 + 1];
    want[row + 2] = whole[18 + 15];
    for (size_t i = 0; i < row; i += 3) {
        want[2 * row + i] = whole[18 + i + 2];
        want[2 * row + i + 1] = whole[18 + i + 1];
        want[2 * row + i + 2] = whole[18 + i];
    }
    EXPECT_EQ(got, want);
    ExpectConsistent();
}

TEST_F(HostileFiles, ZeroHugeAndOverflowingSizesAreRefused)
{
    Valid valid(dir);
    std::vector<Hostile> files;
    const Bytes tga = valid.Tga(24);
    for (unsigned side : {0u, 32768u, 40000u, 65535u}) {
        Bytes w = tga, h = tga;
        Put16(w, 12, side);
        Put16(h, 14, side);
        files.push_back({"w" + std::to_string(side) + ".tga", w});
        files.push_back({"h" + std::to_string(side) + ".tga", h});
    }
    const Bytes bmp = valid.Bmp(24);
    const int64_t bmpSizes[][2] = {{0, 3},          {5, 0},           {-5, 3},          {32768, 3},
                                   {5, 32768},      {5, -32768},      {65536, 65536},   {65537, 65537},
                                   {30000, 30000},  {0x7FFFFFFF, 1},  {1, INT32_MIN},   {46341, 46341},
                                   {0x40000000, 4}, {32767, 32767}};
    for (const auto &s : bmpSizes) {
        Bytes b = bmp;
        Put32(b, 18, uint32_t(int32_t(s[0])));
        Put32(b, 22, uint32_t(int32_t(s[1])));
        files.push_back({"size_" + std::to_string(s[0]) + "x" + std::to_string(s[1]) + ".bmp", b});
    }
    for (const char *sizes : {"0 3", "5 0", "40000 2", "2 40000", "65536 65536", "30000 30000",
                              "99999999999999999999 1", "-5 3", "5"}) {
        Bytes p = Text(std::string("P6\n") + sizes + "\n255\n");
        p.resize(p.size() + 45, 7);
        files.push_back({std::string("size_") + sizes + ".ppm", p});
        Bytes g = Text(std::string("P5\n") + sizes + "\n255\n");
        g.resize(g.size() + 15, 7);
        files.push_back({std::string("size_") + sizes + ".pgm", g});
    }
    ExpectAllRefused(files);
}

TEST_F(HostileFiles, WrongTypesAndDepthsAreRefused)
{
    Valid valid(dir);
    std::vector<Hostile> files;
    const Bytes tga = valid.Tga(24);
    for (unsigned type : {0u, 1u, 9u, 10u, 11u, 32u, 255u}) {
        Bytes b = tga;
        b[2] = type;
        files.push_back({"type" + std::to_string(type) + ".tga", b});
    }
    for (unsigned depth : {0u, 1u, 4u, 15u, 31u, 48u, 64u, 255u}) {
        Bytes b = tga;
        b[16] = depth;
        files.push_back({"depth" + std::to_string(depth) + ".tga", b});
    }
    const Bytes bmp = valid.Bmp(24);
    for (unsigned bpp : {0u, 2u, 3u, 7u, 48u, 64u}) {
        Bytes b = bmp;
        Put16(b, 28, bpp);
        files.push_back({"bpp" + std::to_string(bpp) + ".bmp", b});
    }
    // JPEG and PNG payloads, bit fields at 24 bits, run-length at 24 bits,
    // unknown codes.
    for (uint32_t compression : {1u, 2u, 3u, 4u, 5u, 6u, 0xFFFFFFFFu}) {
        Bytes b = bmp;
        Put32(b, 30, compression);
        files.push_back({"compression" + std::to_string(compression) + ".bmp", b});
    }
    for (unsigned planes : {0u, 2u}) {
        Bytes b = bmp;
        Put16(b, 26, planes);
        files.push_back({"planes" + std::to_string(planes) + ".bmp", b});
    }
    for (const char *magic : {"P0", "P7", "P8", "PF", "Pf", "p6", "P"}) {
        files.push_back({std::string("magic_") + magic + ".ppm", Text(std::string(magic) + "\n5 3\n255\n")});
    }
    for (const char *maxval : {"0", "65536", "70000", "-1", "x"}) {
        Bytes b = Text(std::string("P5\n5 3\n") + maxval + "\n");
        b.resize(b.size() + 30, 9);
        files.push_back({std::string("maxval_") + maxval + ".pgm", b});
    }
    // Content of other formats under our extensions: GIF, XPM, XBM, JPEG.
    files.push_back({"gif.bmp", Text("GIF89a\x05\x00\x03\x00\x80\x00\x00")});
    files.push_back({"xpm.ppm", Text("/* XPM */\nstatic char *x[] = {\"1 1 1 1\", \"a c #000000\", \"a\"};\n")});
    files.push_back({"xbm.pgm", Text("#define x_width 8\n#define x_height 1\nstatic char x_bits[] = {0x01};\n")});
    files.push_back({"jpeg.bmp", Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}});
    files.push_back({"png_as.tga", Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}});
    ExpectAllRefused(files);
}

TEST_F(HostileFiles, LyingBmpAndPnmHeadersAreRefused)
{
    Valid valid(dir);
    std::vector<Hostile> files;
    const Bytes bmp8 = valid.Bmp(8), bmp24 = valid.Bmp(24);
    auto lie32 = [&](const Bytes &base, size_t at, uint32_t v, const std::string &file) {
        Bytes b = base;
        Put32(b, at, v);
        files.push_back({file, b});
    };
    lie32(bmp8, 46, 257, "colours257.bmp");           // more colours than 8 bits index
    lie32(bmp8, 46, 0xFFFFFFFF, "coloursMax.bmp");
    lie32(bmp24, 10, 1 << 20, "offsetPastEnd.bmp");  // pixels beyond the file
    lie32(bmp24, 10, 20, "offsetInHeader.bmp");      // pixels inside the header
    lie32(bmp24, 22, 30, "moreRows.bmp");            // rows the file does not hold
    lie32(bmp24, 18, 50, "widerRows.bmp");
    lie32(bmp24, 14, 0, "infoSize0.bmp");
    lie32(bmp24, 14, 13, "infoSize13.bmp");
    lie32(bmp24, 14, 124, "infoSize124.bmp");       // bigger header than the file holds
    lie32(bmp24, 14, 0xFFFFFFFF, "infoSizeMax.bmp");
    {
        Bytes b = bmp24;
        b[1] = 'A';
        files.push_back({"signatureBA.bmp", b});
    }
    auto pnm = [&](const std::string &file, const std::string &header, size_t pixelBytes) {
        Bytes b = Text(header);
        b.resize(b.size() + pixelBytes, 0x55);
        files.push_back({file, b});
    };
    pnm("wider.ppm", "P6\n9 3\n255\n", 45);                   // 45 bytes for 81
    pnm("taller.pgm", "P5\n5 9\n255\n", 15);
    pnm("wide16.ppm", "P6\n5 3\n65535\n", 45);                // 16-bit samples need twice as many
    pnm("plainShort.ppm", "P3\n5 3\n255\n1 2 3 4 5\n", 0);
    pnm("plainShort.pgm", "P2\n5 3\n255\n1 2 3\n", 0);
    pnm("bitsShort.pgm", "P4\n16 3\n", 3);
    pnm("noNewline.ppm", "P6\n5 3\n255", 0);
    pnm("signs.ppm", "P6\n+5 3\n255\n", 45);
    pnm("commentOnly.ppm", "P6\n# nothing else\n", 0);
    // Numbers glued to other characters: "P41P1" once asked for gigabytes.
    pnm("gluedFormat.pgm", "P41P1\n2322223223\n", 0);
    pnm("formatDigits.ppm", "P66\n5 3\n255\n", 45);
    pnm("gluedWidth.ppm", "P6\n5x3\n255\n", 45);
    pnm("gluedHeight.pgm", "P5\n5 3z\n255\n", 15);
    pnm("gluedBits.pgm", "P4\n8 1P9999999\n", 9);
    pnm("nulAfterWidth.ppm", std::string("P6\n5\0 3\n255\n", 12), 45);
    // A comment glued to a number hides what follows on its line: here the
    // height is the huge number of the next line, not the 4 after the '#'.
    pnm("commentAfterWidth.pbm.pgm", "P4\n1# 4\n50187975555\n", 4);
    ExpectAllRefused(files);
}

TEST_F(HostileFiles, EmptyFilesAndNamesWithoutExtensionAreRefused)
{
    Valid valid(dir);
    std::vector<Hostile> files;
    for (const char *ext : {".bmp", ".ppm", ".pgm", ".tga", ".BMP", ".Tga"})
        files.push_back({std::string("empty") + ext, Bytes()});
    const Bytes tga = valid.Tga(24), bmp = valid.Bmp(24);
    // Valid content, but no extension the program reads.
    for (const char *file : {"noext", "tga", "image.", "image.tg", "image.tga.bak", "image.bm", "image.png"})
        files.push_back({file, tga});
    files.push_back({"bmp_content", bmp});
    // A dot only in a folder's name: the extension found is "folder's".
    ASSERT_TRUE(std::filesystem::create_directory(Path("photos.tga")));
    ASSERT_TRUE(std::filesystem::create_directory(Path("vacances.bmp")));
    files.push_back({"photos.tga/image", tga});
    files.push_back({"vacances.bmp/image", bmp});
    ExpectAllRefused(files);
}

// A name as long as the system allows must not overflow the 128-byte
// status line: it is cut there, and the window stays consistent.
TEST_F(HostileFiles, LongestNameIsCutInTheStatusLine)
{
    Valid valid(dir);
    const std::string file = std::string(251, 'x') + ".tga";
    const std::string path = Path(file);
    WriteFile(path, valid.Tga(24));
    Open(path);
    ASSERT_NE(ui->getImage(), nullptr);
    // The name loses its middle; the picture's size always shows.
    auto expectShortened = [&](char letter) {
        const CImage *img = ui->getImage();
        const std::string size = " (" + std::to_string(img->width) + "x" +
                                 std::to_string(img->height) + " " + std::to_string(img->bpp) + "bpp)";
        const std::string text = StatusText();
        EXPECT_EQ(text.substr(0, 3), std::string(3, letter));
        EXPECT_NE(text.find("…"), std::string::npos);
        EXPECT_EQ(text.substr(text.size() - size.size()), size);
    };
    expectShortened('x');
    EXPECT_EQ(std::string(ui->box_histos->GetImagePath()), path);
    ExpectConsistent();
    SaveBMP(Path(std::string(251, 'y') + ".bmp"));
    EXPECT_TRUE(Fake().alerts.empty());
    expectShortened('y');
    ExpectConsistent();
}

// Things that are not readable files: each opened by path, never written.
class NotReadable : public HardeningTest {
protected:
    void ExpectRefused(const std::string &path)
    {
        SCOPED_TRACE(path);
        Fake().alerts.clear();
        // A hang here would stop the whole program rather than the test.
        alarm(30);
        Open(path);
        alarm(0);
        EXPECT_EQ(Fake().alerts,
                  std::vector<std::string>{"Impossible de charger cette image !\nFichier introuvable ou illisible."});
        ExpectEmptyWindow();
    }
};

TEST_F(NotReadable, FoldersMissingFilesAndImpossiblePathsAreRefused)
{
    for (const char *ext : {".bmp", ".ppm", ".pgm", ".tga"}) {
        const std::string folder = Path(std::string("folder") + ext);
        ASSERT_TRUE(std::filesystem::create_directory(folder));
        ExpectRefused(folder);
        ExpectRefused(Path(std::string("missing") + ext));
        // A path through a regular file: cannot be opened, even by root.
        WriteFile(Path("plain"), Bytes{1, 2, 3});
        ExpectRefused(Path(std::string("plain/inside") + ext));
        // A link to nowhere.
        const std::string link = Path(std::string("dangling") + ext);
        ASSERT_EQ(symlink("/nonexistent/target", link.c_str()), 0);
        ExpectRefused(link);
        // A name longer than the system takes.
        ExpectRefused(Path(std::string(5000, 'n') + ext));
    }
}

TEST_F(NotReadable, FileWithoutReadPermissionIsRefused)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads files whatever their permissions";
    Valid valid(dir);
    for (const std::string file : {"locked.tga", "locked.bmp"}) {
        const std::string path = Path(file);
        WriteFile(path, file.back() == 'a' ? valid.Tga(24) : valid.Bmp(24));
        ASSERT_EQ(chmod(path.c_str(), 0), 0);
        ExpectRefused(path);
    }
}

// A named pipe under an image name would block the reader until someone
// writes to it; opening one must be refused at once instead.
TEST_F(NotReadable, NamedPipesAndDevicesAreRefusedWithoutBlocking)
{
    for (const char *ext : {".bmp", ".ppm", ".pgm", ".tga"}) {
        const std::string fifo = Path(std::string("pipe") + ext);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        ExpectRefused(fifo);
        const std::string device = Path(std::string("zero") + ext);
        ASSERT_EQ(symlink("/dev/zero", device.c_str()), 0);
        ExpectRefused(device);
    }
}

TEST_F(HostileFiles, NoDescriptorIsLeftOpen)
{
    Valid valid(dir);
    std::vector<Hostile> files;
    const Bytes bmp = valid.Bmp(24);
    for (size_t n = 0; n < bmp.size(); n += 7)
        files.push_back({"leak" + std::to_string(n) + ".bmp", Bytes(bmp.begin(), bmp.begin() + n)});
    files.push_back({"leak.ppm", Text("P6\n5 3\n255\n")});
    files.push_back({"leak.tga", Bytes(10, 2)});
    const int before = OpenDescriptors();
    ExpectAllRefused(files);
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace hardening
