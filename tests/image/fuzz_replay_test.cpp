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
    std::error_code absent;  // no crash was ever kept for decode
    for (const char *kind : {"corpus", "crashes"})
        for (const std::string target : {"decode", "open_image"}) {
            const std::string folder = std::string(MIRLAN_SOURCE_DIR) + "/fuzz/" + kind + "/" + target;
            for (const auto &entry : std::filesystem::directory_iterator(folder, absent)) {
                const testutil::Bytes b = testutil::ReadFile(entry.path());
                const char *fault = target == "decode" ? mirlan_fuzz::DecodeInput(b.data(), b.size())
                                                       : mirlan_fuzz::OpenInput(b.data(), b.size());
                EXPECT_EQ(fault, nullptr) << entry.path() << ": " << fault;
                ++replayed;
            }
        }
    EXPECT_GE(replayed, 100);
}
