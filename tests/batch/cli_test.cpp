// cli_test.cpp: mirlan-batch as a command: its help, its refusals of faulty
// command lines, its failures on unreadable files, short memory and a full
// disk (French message, non-zero status, an existing output left as it
// was), and running without a display.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "batch/operations.h"
#include "batch_test_util.h"
#include "image/image.h"

namespace batchtest {
namespace {

class BatchCommand : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override
    {
        char tmpl[] = "/tmp/mirlan_batch_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        CImage img(5, 4, 24);
        for (size_t i = 0; i < img.ByteCount(); ++i)
            img.data[i] = static_cast<unsigned char>(i * 13);
        FILE *f = std::fopen(Path("in.ppm").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "P6\n5 4\n255\n");
        std::fwrite(img.data, 1, img.ByteCount(), f);
        std::fclose(f);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Path(const std::string &name) const { return dir + "/" + name; }

    // Runs in.ppm to out.tga with the given operation words.
    Outcome Batch(const std::string &operations) const
    {
        std::vector<std::string> args = {Path("in.ppm"), Path("out.tga")};
        for (const std::string &w : Words(operations))
            args.push_back(w);
        return RunBatch(args, dir);
    }

    // A refusal: the status, a message of the program on stderr mentioning
    // what, nothing on stdout, and no output file.
    void ExpectRefused(const Outcome &run, int status, const std::string &what) const
    {
        EXPECT_EQ(run.status, status);
        EXPECT_EQ(run.err.rfind("mirlan-batch : ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(what), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(Exists(Path("out.tga")));
    }
};

TEST_F(BatchCommand, HelpListsEveryOperationWithItsValues)
{
    const Outcome run = RunBatch({"--help"}, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.empty());
    EXPECT_NE(run.out.find("Usage : mirlan-batch ENTRÉE SORTIE"), std::string::npos);
    for (const batch::Operation &op : batch::Operations()) {
        std::string usage = op.name;
        for (const batch::Parameter &p : op.parameters)
            usage += std::string(" ") + p.name;
        EXPECT_NE(run.out.find("  " + usage + " "), std::string::npos) << usage;
    }
    EXPECT_EQ(RunBatch({Path("in.ppm"), Path("out.tga"), "-h"}, dir).out, run.out);
    EXPECT_FALSE(Exists(Path("out.tga")));
}

TEST_F(BatchCommand, FaultyCommandLinesAreRefusedBeforeAnythingIsWritten)
{
    ExpectRefused(RunBatch({}, dir), 2, "image d'entrée et une image de sortie");
    ExpectRefused(RunBatch({Path("in.ppm")}, dir), 2, "image d'entrée et une image de sortie");
    ExpectRefused(Batch("flou"), 2, "opération inconnue « flou »");
    ExpectRefused(Batch("negatif rot45"), 2, "« rot45 »");
    ExpectRefused(Batch("luminosite 10 20 30"), 2, "« luminosite » attend B");
    ExpectRefused(Batch("luminosite 10 20 30 101"), 2, "B = « 101 »");
    ExpectRefused(Batch("contraste -101"), 2, "-101");
    ExpectRefused(Batch("contraste 1.5"), 2, "un entier de -100 à 100");
    ExpectRefused(Batch("contraste 7x"), 2, "« 7x »");
    ExpectRefused(Batch("seuillagefixe 0.09"), 2, "un nombre de 0.1 à 10");
    ExpectRefused(Batch("seuillagefixe 10.01"), 2, "10.01");
    ExpectRefused(Batch("seuillagefixe nan"), 2, "nan");
    ExpectRefused(Batch("distance4 256 0 0 1 1 2"), 2, "R = « 256 »");
    ExpectRefused(Batch("redim 6000 10"), 2, "L = « 6000 »");
    ExpectRefused(Batch("redim 10 0"), 2, "H = « 0 »");
    const Outcome png = RunBatch({Path("in.ppm"), Path("out.png")}, dir);
    EXPECT_EQ(png.status, 2);
    EXPECT_NE(png.err.find("doit finir par .tga ou .bmp"), std::string::npos);
    EXPECT_FALSE(Exists(Path("out.png")));
}

TEST_F(BatchCommand, LimitsOfEveryRangeAreAccepted)
{
    for (const char *ops : {"luminosite -100 100 -100 100", "contraste 100", "seuillagefixe 0.1",
                            "seuillagefixe 10", "redim 1 5999", "distance8 0 255 0 4 3 10"}) {
        const Outcome run = Batch(ops);
        EXPECT_EQ(run.status, 0) << ops << ": " << run.err;
        EXPECT_TRUE(Exists(Path("out.tga"))) << ops;
        std::remove(Path("out.tga").c_str());
    }
}

// Every way a run can fail after its command line was accepted: status 1,
// a message that says what went wrong, no temporary file left, and the
// output that was there kept as it was. Memory and file-size limits are set
// in the child that runs the program.
TEST_F(BatchCommand, FailuresSayWhatWentWrongAndLoseNothing)
{
    FILE *f = std::fopen(Path("text.ppm").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("P6\n5 4\n255\nshort", f);
    std::fclose(f);
    std::filesystem::copy_file(Path("in.ppm"), Path("in.jpg"));
    // A TGA header declaring 32767 x 32767 colour pixels, and one pixel.
    const unsigned char huge[] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0x7f, 0xff, 0x7f, 24, 0x20, 1, 2, 3};
    f = std::fopen(Path("huge.tga").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(huge, 1, sizeof huge, f);
    std::fclose(f);
    // 24 MB of grey: in colour 72 MB, and as much again for a quarter turn.
    CImage grey(6000, 4000, 8);
    for (size_t i = 0; i < grey.ByteCount(); ++i)
        grey.data[i] = static_cast<unsigned char>(i % 251);
    ASSERT_EQ(CImage::SaveTGA(&grey, Path("grey.tga").c_str()), CImage::kOk);

    const unsigned long kMiB = 1ul << 20;
    struct Row {
        const char *input;  // in the test's folder; "" for the folder itself
        const char *output;
        const char *operations;
        Limit limit;
        const char *message;
    };
    const Row rows[] = {
        {"absent.ppm", "out.tga", "", {}, "impossible de lire"},
        {"", "out.tga", "", {}, "fichier absent ou illisible"},
        {"text.ppm", "out.tga", "", {}, "format non reconnu ou fichier endommagé"},
        {"in.jpg", "out.tga", "", {}, "format non reconnu ou fichier endommagé"},
        {"huge.tga", "out.tga", "", {RLIMIT_AS, 512 * kMiB}, "mémoire insuffisante"},
        // The conversion fits, the turn that follows does not.
        {"grey.tga", "out.tga", "couleursrvb rot90h", {RLIMIT_AS, 130 * kMiB}, "mémoire insuffisante"},
        {"grey.tga", "out.tga", "", {RLIMIT_FSIZE, 64 * 1024}, "impossible d'écrire"},
        {"grey.tga", "out.bmp", "negatif", {RLIMIT_FSIZE, 64 * 1024}, "impossible d'écrire"},
        {"in.ppm", "missing/out.tga", "", {}, "impossible d'écrire"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.input) + " " + row.operations);
#if defined(__SANITIZE_ADDRESS__)
        if (row.limit.resource == RLIMIT_AS)
            continue;  // the sanitizer's shadow memory needs more address space than any limit
#endif
        for (const char *name : {"out.tga", "out.bmp"}) {
            f = std::fopen(Path(name).c_str(), "wb");
            ASSERT_NE(f, nullptr);
            std::fputs("earlier result", f);
            std::fclose(f);
        }
        std::vector<std::string> args = {Path(row.input), Path(row.output)};
        for (const std::string &w : Words(row.operations))
            args.push_back(w);
        const std::filesystem::path folder(dir);
        const auto before = std::distance(std::filesystem::directory_iterator(folder), {});
        const Outcome run = RunBatch(args, dir, false, row.limit);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind("mirlan-batch : ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_EQ(FileBytes(Path("out.tga")), "earlier result");
        EXPECT_EQ(FileBytes(Path("out.bmp")), "earlier result");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), before);
    }
}

TEST_F(BatchCommand, AFailureLeavesAnExistingOutputAsItWas)
{
    FILE *f = std::fopen(Path("out.tga").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("earlier result", f);
    std::fclose(f);
    const Outcome outside = Batch("redim 3 3 distance4 0 0 0 3 0 2");
    EXPECT_EQ(outside.status, 1);
    EXPECT_NE(outside.err.find("le point (3, 0) est hors de l'image de 3 x 3 pixels"), std::string::npos)
        << outside.err;
    EXPECT_EQ(FileBytes(Path("out.tga")), "earlier result");
    EXPECT_EQ(Batch("flou").status, 2);
    EXPECT_EQ(FileBytes(Path("out.tga")), "earlier result");
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        EXPECT_TRUE(entry.path().filename() == "in.ppm" || entry.path().filename() == "out.tga")
            << entry.path();
}

TEST_F(BatchCommand, RunsWithoutADisplay)
{
    const Outcome run = RunBatch({Path("in.ppm"), Path("out.bmp"), "rot90h", "niveauxgris"}, dir, true);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string bytes = FileBytes(Path("out.bmp"));
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
}

}  // namespace
}  // namespace batchtest
