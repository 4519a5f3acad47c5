// test_histogramme.cpp: the histograms and their statistics, and the
// dispatch of the current treatment, against their plain forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "oracle.h"
#include "processing/histogramme.h"
#include "processing/ti.h"

TEST(Histogramme, MatchesThePlainCount)
{
    std::vector<std::unique_ptr<CImage>> images;
    for (auto [w, h] : testimg::kAwkwardSizes)
        for (int bytes = 1; bytes <= 4; ++bytes)
            images.push_back(testimg::Random(w, h, bytes, unsigned(images.size())));
    images.push_back(testimg::Of(std::vector<unsigned char>(9000000, 255), 1, 3000));  // sums above 2^31
    images.push_back(std::make_unique<CImage>());
    CHistogramme h;  // one object throughout: every computation starts afresh
    for (const auto &img : images) {
        h.CalcHistos(img.get());
        const oracle::Histos plain = oracle::CalcHistos(*img);
        int highest[4];
        h.GetMaxHauteurs(&highest[0], &highest[1], &highest[2], &highest[3]);
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(testing::Message() << "layer " << k << ", image " << &img - images.data());
            EXPECT_TRUE(std::equal(plain.histos[k], plain.histos[k] + 256, h.histos[k]));
            EXPECT_EQ(*std::max_element(plain.histos[k], plain.histos[k] + 256), highest[k]);
            EXPECT_EQ(std::vector<int>({plain.moyenne[k], plain.min[k], plain.max[k]}),
                      std::vector<int>({h.moyenne[k], h.min[k], h.max[k]}));
        }
    }
}

TEST(Traitement, EachIdRunsItsTreatmentWithTheValuesItReads)
{
    using Plain = void (*)(CImage *, sRGB, int, int, float, unsigned);
    const Plain by_id[] = {
        [](CImage *, sRGB, int, int, float, unsigned) {},
        [](CImage *i, sRGB, int, int, float, unsigned) { oracle::Negatif(i); },
        [](CImage *i, sRGB c, int x, int y, float v, unsigned) { oracle::Distance(i, c, x, y, v, false); },
        [](CImage *i, sRGB c, int x, int y, float v, unsigned) { oracle::Distance(i, c, x, y, v, true); },
        [](CImage *i, sRGB, int, int, float, unsigned) { oracle::DentsDeScie(i); },
        [](CImage *i, sRGB, int, int, float, unsigned t) { oracle::SeuillageAl(i, t); },
        [](CImage *i, sRGB, int, int, float v, unsigned) { oracle::SeuillageFixe(i, v); },
        [](CImage *i, sRGB, int, int, float, unsigned) { oracle::EgalHisto(i); },
        [](CImage *i, sRGB, int, int, float, unsigned) { oracle::EtirementHisto(i); },
    };
    const struct { sRGB colour; int x, y; float v; } settings[] = {{{0, 128, 1}, 5, 6, 1.5f},
                                                                    {{255, 0, 0}, 17, -4, 4.0f}};
    const auto input = testimg::Random(30, 20, 3, 2);
    for (int id : {INT_MIN, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9})
        for (const auto &s : settings) {
            const Plain plain = id >= 0 && id <= 8 ? by_id[id] : by_id[0];
            EXPECT_TRUE(testimg::WithinOneSecond([&](unsigned t) {
                return testimg::Match(*input, [&](CImage *i) { CTi::Traitement(i, id, s.colour, s.x, s.y, s.v); },
                                      [&](CImage *i) { plain(i, s.colour, s.x, s.y, s.v, t); });
            })) << "id " << id;
            CImage empty, flat(7, 0, 24);  // images without pixels are left alone
            CTi::Traitement(&empty, id, s.colour, s.x, s.y, s.v);
            CTi::Traitement(&flat, id, s.colour, s.x, s.y, s.v);
            EXPECT_TRUE(empty.data == nullptr && flat.width == 7 && flat.bpp == 24) << "id " << id;
        }
}
