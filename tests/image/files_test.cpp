// files_test.cpp: every file of files/ (written by make_files.py) opened
// through ReadImageFile and compared with its line of files/expected.txt:
// its refusal, its exact pixels, or the picture GraphicsMagick and netpbm
// read from it; and every shorter cut of the files marked "cuts".
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "image/formats.h"
#include "image/image_file.h"
#include "image_test_util.h"

using mirlan::ReadError;
using testutil::Bytes;

namespace {

const std::string kFiles = std::string(MIRLAN_SOURCE_DIR) + "/tests/image/files/";

// What ReadImageFile makes of bytes saved under name: "bad", "large",
// "unreadable" or "ok WxH BPP hexpixels".
std::string Outcome(const std::string &path)
{
    ReadError error;
    std::unique_ptr<CImage> img(mirlan::ReadImageFile(path.c_str(), &error));
    if (!img)
        return error == ReadError::kBadFormat ? "bad" : error == ReadError::kTooLarge ? "large" : "unreadable";
    return "ok " + std::to_string(img->width) + "x" + std::to_string(img->height) + " " + std::to_string(img->bpp) + " " +
           testutil::Hex(img->data, img->ByteCount());
}

// Where a plain (uncompressed) TGA file's pixels start, past which a cut
// reads as if its missing bytes were zero; 0 for every other file (BMP,
// PNM, compressed TGA), which a cut anywhere refuses.
size_t ZeroPaddedPast(const std::string &name, const Bytes &b)
{
    const bool plainTga = name.substr(name.size() - 4) == ".tga" && b.size() >= 18 && b[2] <= 3;
    return plainTga ? 18 + b[0] + (b[1] == 1 ? (b[5] | b[6] << 8) * ((b[7] + 7) / 8) : 0) : 0;
}

void ExpectEveryCutRefusedOrZeroPadded(const std::string &name, const testutil::TempDir &dir)
{
    const Bytes whole = testutil::ReadFile(kFiles + name);
    const std::string cut = dir.File("cut" + name.substr(name.rfind('.'))), padded = dir.File("pad.tga");
    const size_t pixelsAt = ZeroPaddedPast(name, whole);
    for (size_t n = 0; n < whole.size(); ++n) {
        Bytes part(whole.begin(), whole.begin() + n);
        testutil::WriteFile(cut, part);
        part.resize(whole.size(), 0);
        testutil::WriteFile(padded, part);
        EXPECT_EQ(Outcome(cut), pixelsAt && n > pixelsAt ? Outcome(padded) : "bad") << name << " cut at " << n;
    }
}

size_t OpenDescriptors() { return size_t(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {})); }

TEST(Files, EachReadsAsExpected)
{
    std::ifstream list(kFiles + "expected.txt");
    const size_t descriptors = OpenDescriptors();
    testutil::TempDir dir;
    std::string line, name, word;
    int files = 0;
    for (; std::getline(list, line); ++files) {
        std::istringstream words(line);
        std::string expected;
        std::vector<std::string> checks;
        for (words >> name; words >> word;) {
            if (word == "gm" || word == "netpbm" || word == "cuts")
                checks.push_back(word);
            else
                expected += (expected.empty() ? "" : " ") + word;
        }
        const std::string path = kFiles + name;
        if (!expected.empty()) {
            EXPECT_EQ(Outcome(path), expected) << name;
        }
        for (const std::string &check : checks) {
            if (check == "cuts") {
                ExpectEveryCutRefusedOrZeroPadded(name, dir);
                continue;
            }
            std::unique_ptr<CImage> img(mirlan::ReadImageFile(path.c_str()));
            ASSERT_NE(img, nullptr) << name;
            const Bytes theirs = check == "gm" ? testutil::GmRead(path) : testutil::NetpbmRead(path);
            EXPECT_TRUE(theirs == testutil::ToPpm(*img)) << check << " reads " << name;
        }
    }
    EXPECT_GT(files, 100);
    EXPECT_EQ(OpenDescriptors(), descriptors) << "a reader left a file open";
    // Not regular files: refused at once, a pipe without waiting for a writer.
    ASSERT_EQ(mkfifo(dir.File("pipe.ppm").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", dir.File("zero.tga").c_str()), 0);
    for (const char *file : {"missing.bmp", "pipe.ppm", "zero.tga", "."})
        EXPECT_EQ(Outcome(dir.File(file)), "unreadable") << file;
    // No descriptor left: unreadable, not damaged.
    rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit few{64, limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
    std::vector<int> held;
    for (int fd; (fd = dup(0)) >= 0;)
        held.push_back(fd);
    EXPECT_EQ(Outcome(kFiles + "p6_13x7.ppm"), "unreadable");
    for (int fd : held)
        close(fd);
    setrlimit(RLIMIT_NOFILE, &limit);
}

// The content picks the reader, whatever the name says.
TEST(Files, TheContentPicksTheReader)
{
    testutil::TempDir dir;
    for (const char *file : {"pal8_5x3.bmp", "p6_13x7.ppm", "rgb555.tga"}) {
        const std::string expected = Outcome(kFiles + file);
        ASSERT_EQ(expected.substr(0, 3), "ok ") << file;
        for (const char *name : {"x.bmp", "x.TGA", "x.png", "x.jpg", "x.ppm", "noextension"}) {
            testutil::WriteFile(dir.File(name), testutil::ReadFile(kFiles + file));
            EXPECT_EQ(Outcome(dir.File(name)), expected) << file << " named " << name;
        }
    }
}

// The extension after the name's last dot picks the format written, in any
// case; formats only read are never picked.
TEST(Files, TheExtensionPicksTheWriter)
{
    const std::pair<const char *, const char *> names[] = {
        {"a.png", "PNG"},  {"A.JPG", "JPEG"}, {"b.jpeg", "JPEG"}, {"a.bmp", "BMP"},   {"x.Tga", "TGA"},
        {"a.ppm", ""},     {"a.webp", ""},    {"a.bm", ""},       {"a.tgax", ""},     {"u/a.b/c.tga", "TGA"},
        {"u/a.b/c", ""},   {"a.tar.tga", "TGA"}, {".png", ""},    {"dir/.bmp", ""},   {"a.", ""}};
    for (const auto &name : names) {
        const mirlan::ImageFormat *format = mirlan::WritableFormatOfName(name.first);
        EXPECT_EQ(format ? format->name : "", std::string(name.second)) << name.first;
    }
}

}  // namespace
