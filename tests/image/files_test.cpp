// files_test.cpp: picture files read through ReadImageFile, as the programs
// read them, each checked against its line of a manifest (the grammar is in
// make_files.py): files/expected.txt for the files of files/, written by
// make_files.py; codec_files.txt for the PNG, JPEG and WebP files
// make_codec_files.sh makes at test time with the usual tools. A line gives
// the refusal, or the size, depth and pixels; the independent readers that
// must read the same picture; and whether every cut of the file is refused.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <sstream>

#include "image/formats.h"
#include "image/image_file.h"
#include "image_test_util.h"

using mirlan::ReadError;
using testutil::Bytes;

namespace {

const std::string kHere = std::string(MIRLAN_SOURCE_DIR) + "/tests/image/";

// What ReadImageFile makes of a file: "bad", "large", "memory", "unreadable"
// or "ok WxH BPP", then its pixels in hex when asked.
std::string Outcome(const std::string &path, bool pixels = true, const mirlan::ImageFormat **format = nullptr)
{
    ReadError error;
    std::unique_ptr<CImage> img(mirlan::ReadImageFile(path.c_str(), &error, format));
    if (!img)
        return error == ReadError::kBadFormat ? "bad"
               : error == ReadError::kTooLarge ? "large"
               : error == ReadError::kNoMemory ? "memory" : "unreadable";
    const std::string read = "ok " + std::to_string(img->width) + "x" + std::to_string(img->height) + " " + std::to_string(img->bpp);
    return pixels ? read + " " + testutil::Hex(img->data, img->ByteCount()) : read;
}

// Where a plain (uncompressed) TGA file's pixels start, past which a cut
// reads as if its missing bytes were zero; 0 for every other file, which a
// cut anywhere refuses.
size_t ZeroPaddedPast(const std::string &path, const Bytes &b)
{
    const bool plainTga = path.substr(path.size() - 4) == ".tga" && b.size() >= 18 && b[2] <= 3;
    return plainTga ? 18 + b[0] + (b[1] == 1 ? (b[5] | b[6] << 8) * ((b[7] + 7) / 8) : 0) : 0;
}

void ExpectEveryCutRefusedOrZeroPadded(const std::string &path, const testutil::TempDir &dir)
{
    const Bytes whole = testutil::ReadFile(path);
    const std::string cut = dir.File("cut" + path.substr(path.rfind('.'))), padded = dir.File("pad.tga");
    const size_t pixelsAt = ZeroPaddedPast(path, whole);
    for (size_t n = 0; n < whole.size(); ++n) {
        Bytes part(whole.begin(), whole.begin() + n);
        testutil::WriteFile(cut, part);
        part.resize(whole.size(), 0);
        testutil::WriteFile(padded, part);
        EXPECT_EQ(Outcome(cut), pixelsAt && n > pixelsAt ? Outcome(padded) : "bad") << path << " cut at " << n;
    }
}

bool NamesItsFormat(const std::string &name, const mirlan::ImageFormat *format)
{
    std::string extension = name.substr(name.rfind('.') + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    const auto known = format ? mirlan::Extensions(*format) : std::vector<std::string>();
    return std::find(known.begin(), known.end(), extension) != known.end();
}

// Checks each file of folder a manifest lists; returns how many.
int CheckManifest(const std::string &manifest, const std::string &folder)
{
    std::ifstream list(manifest);
    testutil::TempDir scratch;
    int files = 0;
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        line = line.substr(0, line.find(" : "));  // how the file was made
        const size_t bar = line.find(" | ");
        const std::string filter = bar == std::string::npos ? "" : line.substr(bar);
        std::istringstream words(line.substr(0, bar));
        std::string name, word;
        std::vector<std::string> expected(1), readers;  // expected outcomes, one of which must be met
        bool cuts = false;
        for (words >> name; words >> word;) {
            if (word == "cuts")
                cuts = true;
            else if (!testutil::ReaderCommand(word, name).empty())
                readers.push_back(word);
            else if (word == "or")
                expected.emplace_back();
            else
                expected.back() += (expected.back().empty() ? "" : " ") + word;
        }
        const std::string path = folder + name;
        ++files;
        const mirlan::ImageFormat *format = nullptr;
        const std::string outcome = Outcome(path, std::count(expected[0].begin(), expected[0].end(), ' ') == 3, &format);
        if (!expected[0].empty()) {
            EXPECT_NE(std::find(expected.begin(), expected.end(), outcome), expected.end()) << name << " reads as " << outcome.substr(0, 80);
        }
        if (outcome.substr(0, 3) == "ok ") {
            EXPECT_TRUE(NamesItsFormat(name, format)) << name << " was read as " << (format ? format->name : "none");
        }
        std::unique_ptr<CImage> img(readers.empty() ? nullptr : mirlan::ReadImageFile(path.c_str()));
        for (const std::string &reader : readers) {
            const testutil::Rgba theirs = testutil::CommandRead(testutil::ReaderCommand(reader, path) + filter);
            if (!img || theirs.w == 0) {
                ADD_FAILURE() << name << " is not read by " << (img ? reader : "us");
                continue;
            }
            const testutil::Rgba ours = testutil::FromImage(*img);
            EXPECT_TRUE((theirs.alpha ? ours : testutil::Opaque(ours)) == theirs) << reader << " reads " << name << " otherwise";
        }
        if (cuts)
            ExpectEveryCutRefusedOrZeroPadded(path, scratch);
    }
    return files;
}

size_t OpenDescriptors() { return size_t(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {})); }

TEST(Files, EachReadsAsExpected)
{
    const size_t descriptors = OpenDescriptors();
    EXPECT_GT(CheckManifest(kHere + "files/expected.txt", kHere + "files/"), 150);
    EXPECT_EQ(OpenDescriptors(), descriptors) << "a reader left a file open";
    // Not regular files: refused at once, a pipe without waiting for a writer.
    testutil::TempDir dir;
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
    EXPECT_EQ(Outcome(kHere + "files/p6_13x7.ppm"), "unreadable");
    for (int fd : held)
        close(fd);
    setrlimit(RLIMIT_NOFILE, &limit);
}

TEST(Files, CodecFilesReadAsExpected)
{
    testutil::TempDir dir;
    ASSERT_EQ(std::system(("bash '" + kHere + "make_codec_files.sh' '" + dir.path + "'").c_str()), 0);
    EXPECT_GT(CheckManifest(kHere + "codec_files.txt", dir.path + "/"), 40);
}

// The content picks the reader, whatever the name says.
TEST(Files, TheContentPicksTheReader)
{
    testutil::TempDir dir;
    for (const char *file : {"pal8_5x3.bmp", "p6_13x7.ppm", "rgb555.tga"}) {
        const std::string expected = Outcome(kHere + "files/" + file);
        ASSERT_EQ(expected.substr(0, 3), "ok ") << file;
        for (const char *name : {"x.bmp", "x.TGA", "x.png", "x.jpg", "x.ppm", "noextension"}) {
            testutil::WriteFile(dir.File(name), testutil::ReadFile(kHere + "files/" + file));
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
