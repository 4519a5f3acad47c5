// fuzz_replay_test.cpp: the fuzz targets' seeds (fuzz/corpus) and every
// input that ever made one fail (fuzz/crashes) replayed through the same
// steps in the ordinary build, so that a fault once found stays fixed.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/fuzz_input.h"
#include "image_test_util.h"

TEST(FuzzReplay, EveryKeptInputGivesAConsistentResult)
{
    int replayed = 0;
    std::error_code absent;  // no crash was ever kept for load_tga
    for (const char *kind : {"corpus", "crashes"})
        for (const char *target : {"load_tga", "open_image"}) {
            const std::string folder = std::string(MIRLAN_SOURCE_DIR) + "/fuzz/" + kind + "/" + target;
            for (const auto &entry : std::filesystem::directory_iterator(folder, absent)) {
                const testutil::Bytes b = testutil::ReadFile(entry.path());
                const char *fault = std::string(target) == "load_tga" ? mirlan_fuzz::OpenInput(b.data(), b.size(), ".tga")
                                                                      : mirlan_fuzz::OpenSelected(b.data(), b.size());
                EXPECT_EQ(fault, nullptr) << entry.path() << ": " << fault;
                ++replayed;
            }
        }
    EXPECT_GE(replayed, 40);
}
