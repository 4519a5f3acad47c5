// operations_test.cpp: reading operations from a command line and running
// them, in process: the numbers each operation is given, and where reading
// stops.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "batch/operations.h"
#include "image/image.h"
#include "processing/ti.h"

namespace batch {
namespace {

bool Parse(std::vector<const char *> words, std::vector<Step> &steps, std::string &error)
{
    return ParseSteps(static_cast<int>(words.size()), words.data(), steps, error);
}

TEST(ParseSteps, ReadsOperationsAndTheirNumbersInOrder)
{
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(Parse({"rot90h", "luminosite", "-100", "0", "7", "100", "seuillagefixe", "2.5",
                       "distance8", "1", "2", "3", "40", "50", "0.3"},
                      steps, error))
        << error;
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_STREQ(steps[0].operation->name, "rot90h");
    EXPECT_TRUE(steps[0].values.empty());
    EXPECT_EQ(steps[1].values, (std::vector<double>{-100, 0, 7, 100}));
    EXPECT_EQ(steps[2].values, (std::vector<double>{2.5}));
    EXPECT_EQ(steps[3].values, (std::vector<double>{1, 2, 3, 40, 50, 0.3}));
    // The value reaches the treatment as the counter's float would.
    EXPECT_EQ(static_cast<float>(steps[3].values[5]), static_cast<float>(3 / 10.0));
}

TEST(ParseSteps, NoOperationIsAPlainCopy)
{
    std::vector<Step> steps = {Step{&Operations()[0], {}}};
    std::string error;
    EXPECT_TRUE(Parse({}, steps, error));
    EXPECT_TRUE(steps.empty());
}

TEST(ParseSteps, RefusalsNameTheFaultyWord)
{
    const struct {
        std::vector<const char *> words;
        const char *message;
    } cases[] = {
        {{"Negatif"}, "opération inconnue « Negatif » (voir --help)"},
        {{"negatif", ""}, "opération inconnue «  » (voir --help)"},
        {{"contraste"}, "« contraste » attend C : un entier de -100 à 100"},
        {{"contraste", ""}, "« contraste » : C = «  » n'est pas un entier de -100 à 100"},
        {{"contraste", "+100"}, ""},
        {{"contraste", "0x10"}, "« contraste » : C = « 0x10 » n'est pas un entier de -100 à 100"},
        {{"contraste", "99999999999999999999"}, "« contraste » : C = « 99999999999999999999 »"},
        {{"saturation", " 5"}, ""},
        {{"seuillagefixe", "inf"}, "« seuillagefixe » : VALEUR = « inf » n'est pas un nombre de 0.1 à 10"},
        {{"seuillagefixe", "1e1"}, ""},
        {{"distance4", "0", "0", "0", "32767", "0", "1"}, "« distance4 » : X = « 32767 » n'est pas un entier de 0 à 32766"},
        {{"redim", "-5", "5"}, "« redim » : L = « -5 » n'est pas un entier de 1 à 5999"},
    };
    for (const auto &c : cases) {
        std::vector<Step> steps;
        std::string error;
        const bool ok = Parse(c.words, steps, error);
        SCOPED_TRACE(c.message);
        if (c.message[0] == '\0') {
            EXPECT_TRUE(ok) << error;
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
        }
    }
}

std::unique_ptr<CImage> Ramp(int w, int h, int bpp)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    for (size_t i = 0; i < img->ByteCount(); ++i)
        img->data[i] = static_cast<unsigned char>(i * 7 + 3);
    return img;
}

bool Same(const CImage &a, const CImage &b)
{
    return a.width == b.width && a.height == b.height && a.bpp == b.bpp &&
           std::memcmp(a.data, b.data, a.ByteCount()) == 0;
}

TEST(RunSteps, EachStepMakesTheEngineCallsWithItsNumbers)
{
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(Parse({"reglages", "10", "-20", "30", "-40", "50", "-60", "redim", "9", "4", "distance4",
                       "1", "2", "3", "8", "3", "0.7", "noiretblanc"},
                      steps, error));
    auto img = Ramp(6, 5, 24);
    auto expected = Ramp(6, 5, 24);
    ASSERT_TRUE(RunSteps(img.get(), steps, error)) << error;
    CTi::Luminosite(expected.get(), 10, -20, 30, -40);
    CTi::Contraste(expected.get(), 50);
    CTi::Saturation(expected.get(), -60);
    CTi::Redimensionne(expected.get(), 9, 4);
    CTi::Distance4Point(expected.get(), sRGB{1, 2, 3}, 8, 3, 0.7f);
    CTi::NiveauxGris(expected.get());
    CTi::SeuillageFixe(expected.get(), 5.0f);
    EXPECT_TRUE(Same(*img, *expected));
}

TEST(RunSteps, APointOutsideTheCurrentImageStopsTheRun)
{
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(Parse({"rot90h", "distance8", "0", "0", "0", "5", "0", "2", "negatif"}, steps, error));
    auto img = Ramp(6, 5, 8);  // 5 wide once turned
    EXPECT_FALSE(RunSteps(img.get(), steps, error));
    EXPECT_EQ(error, "« distance8 » : le point (5, 0) est hors de l'image de 5 x 6 pixels");
    ASSERT_TRUE(Parse({"rot90h", "distance8", "0", "0", "0", "4", "5", "2"}, steps, error));
    img = Ramp(6, 5, 8);
    EXPECT_TRUE(RunSteps(img.get(), steps, error)) << error;
}

}  // namespace
}  // namespace batch
