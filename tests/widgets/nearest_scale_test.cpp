// nearest_scale_test.cpp: the view's own resampling against the toolkit's
// Fl_RGB_Image::copy, which is the resampling the views must reproduce.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl_RGB_Image.H>

#include <cstring>
#include <memory>

#include "widget_test_util.h"
#include "widgets/nearest_scale.h"

namespace {

using widget_test::MakeImage;

// The oracle: the toolkit's copy(W, H) of img's pixels.
std::vector<unsigned char> ToolkitCopy(const CImage &img, int W, int H)
{
    Fl_RGB_Image wrapper(img.data, img.width, img.height, img.BytesPerPixel());
    std::unique_ptr<Fl_Image> copy(wrapper.copy(W, H));
    const auto *pixels = reinterpret_cast<const unsigned char *>(copy->data()[0]);
    return std::vector<unsigned char>(pixels, pixels + CImage::ByteCount(W, H, img.bpp));
}

std::vector<unsigned char> Bytes(const CImage &img) { return {img.data, img.data + img.ByteCount()}; }

// Every source size up to 9 x 9 to every target size up to 20 x 20, at the
// two depths the readers give and at 2 and 4 bytes a pixel.
TEST(NearestScale, MatchesToolkitCopyForAllSmallSizes)
{
    for (int bpp : {8, 24, 16, 32}) {
        for (int w = 1; w <= 9; ++w) {
            for (int h = 1; h <= 9; ++h) {
                auto src = MakeImage(w, h, bpp, [](int x, int y, int c) { return x * 16 + y * 3 + c * 101; });
                for (int W = 1; W <= 20; ++W) {
                    for (int H = 1; H <= 20; ++H) {
                        std::unique_ptr<CImage> out(mirlan::ScaleNearest(*src, W, H));
                        ASSERT_NE(out, nullptr);
                        ASSERT_EQ(out->width, W);
                        ASSERT_EQ(out->height, H);
                        ASSERT_EQ(out->bpp, bpp);
                        ASSERT_EQ(Bytes(*out), ToolkitCopy(*src, W, H))
                            << bpp << " bits, " << w << "x" << h << " to " << W << "x" << H;
                    }
                }
            }
        }
    }
}

// Larger pictures split their rows between threads: the zoom steps of the
// view and the thumbnail size, on sizes that are not multiples of each other.
TEST(NearestScale, MatchesToolkitCopyOnLargerPictures)
{
    auto src = MakeImage(613, 457, 24, [](int x, int y, int c) { return x ^ (y * 7) ^ (c * 85); });
    for (int percent = 20; percent <= 300; percent += 10) {
        const float zoom = percent / 100.0f;
        const int W = static_cast<int>(static_cast<double>(zoom) * src->width);
        const int H = static_cast<int>(static_cast<double>(zoom) * src->height);
        std::unique_ptr<CImage> out(mirlan::ScaleNearest(*src, W, H));
        ASSERT_EQ(Bytes(*out), ToolkitCopy(*src, W, H)) << percent << " %";
    }
    auto grey = MakeImage(1001, 333, 8, [](int x, int y, int) { return x * 3 + y; });
    std::unique_ptr<CImage> thumb(mirlan::ScaleNearest(*grey, 159, 120));
    EXPECT_EQ(Bytes(*thumb), ToolkitCopy(*grey, 159, 120));
}

TEST(NearestScale, RefusesEmptySourcesAndTargets)
{
    auto src = MakeImage(4, 4, 24, [](int, int, int) { return 1; });
    EXPECT_EQ(mirlan::ScaleNearest(*src, 0, 4), nullptr);
    EXPECT_EQ(mirlan::ScaleNearest(*src, 4, -1), nullptr);
    CImage empty;
    EXPECT_EQ(mirlan::ScaleNearest(empty, 4, 4), nullptr);
}

}  // namespace
