// fuzz_replay_test.cpp: the fuzz targets' inputs replayed in the ordinary
// build: every seed of fuzz/corpus and every input that ever made a target
// fail (fuzz/crashes), through the same steps as the targets, so that a
// fault once found stays fixed even where clang's fuzzer is not run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "hardening_fixture.h"

namespace hardening {
namespace {

namespace fs = std::filesystem;

// The files of fuzz/<kind>/<target>, sorted; none when the folder is absent.
std::vector<fs::path> Inputs(const char *kind, const char *target)
{
    std::vector<fs::path> files;
    const fs::path folder = fs::path(MIRLAN_SOURCE_DIR) / "fuzz" / kind / target;
    if (fs::is_directory(folder))
        for (const auto &entry : fs::directory_iterator(folder))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class FuzzReplay : public ::testing::Test {
protected:
    mirlan_fuzz::ScratchFile scratch;
};

TEST_F(FuzzReplay, LoadTgaInputsGiveConsistentResults)
{
    std::vector<fs::path> files = Inputs("corpus", "load_tga");
    ASSERT_GE(files.size(), 10u) << "the seed corpus is missing";
    for (const fs::path &crash : Inputs("crashes", "load_tga"))
        files.push_back(crash);
    for (const fs::path &file : files) {
        const std::vector<unsigned char> bytes = ReadFile(file.string());
        const char *fault = mirlan_fuzz::RunLoadTGA(bytes.data(), bytes.size(), scratch);
        EXPECT_EQ(fault, nullptr) << file << ": " << fault;
    }
}

TEST_F(FuzzReplay, OpenImageInputsGiveConsistentResults)
{
    std::vector<fs::path> files = Inputs("corpus", "open_image");
    ASSERT_GE(files.size(), 20u) << "the seed corpus is missing";
    for (const fs::path &crash : Inputs("crashes", "open_image"))
        files.push_back(crash);
    for (const fs::path &file : files) {
        const std::vector<unsigned char> bytes = ReadFile(file.string());
        const char *fault = mirlan_fuzz::RunOpenImage(bytes.data(), bytes.size(), scratch);
        EXPECT_EQ(fault, nullptr) << file << ": " << fault;
    }
}

// The seeds are only useful to the fuzzer if the valid ones really open and
// the broken ones really fail: the names say which is which.
TEST_F(FuzzReplay, SeedsOpenExactlyWhenTheyAreValid)
{
    const std::vector<std::string> broken = {"short", "lying", "rle.tga", "depth15", "zero_width"};
    auto isBroken = [&](const std::string &name) {
        return std::any_of(broken.begin(), broken.end(),
                           [&](const std::string &word) { return name.find(word) != std::string::npos; });
    };
    for (const fs::path &file : Inputs("corpus", "load_tga")) {
        CImage img;
        const int status = CImage::LoadTGA(&img, file.c_str());
        // A TGA cut in its pixels still loads; only one cut in its header fails.
        const bool expectOk = !isBroken(file.filename()) || file.filename() == "short_pixels.tga";
        EXPECT_EQ(status == CImage::kOk, expectOk) << file << " status " << status;
    }
    for (const fs::path &file : Inputs("corpus", "open_image")) {
        std::vector<unsigned char> bytes = ReadFile(file.string());
        ASSERT_FALSE(bytes.empty());
        const char *path = scratch.Write(bytes.data() + 1, bytes.size() - 1, mirlan_fuzz::ExtensionFor(bytes[0]));
        const bool expectOk = !isBroken(file.filename()) || file.filename() == "tga32_short";
        std::unique_ptr<CImage> img(mirlan::ReadImageFile(path));
        EXPECT_EQ(img != nullptr, expectOk) << file;
        if (expectOk && img) {
            EXPECT_EQ(img->width, 5) << file;
            EXPECT_EQ(img->height, 3) << file;
        }
    }
}

}  // namespace
}  // namespace hardening
