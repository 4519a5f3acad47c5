// undo_snapshot_test.cpp: the image view's undo snapshot, undo and display
// copy when the picture keeps its byte count but not its shape (a quarter
// turn, a depth change with a resize): each must take the new sides and
// depth as well as the bytes, whichever buffer it lands in.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "processing/ti.h"
#include "widget_test_util.h"
#include "widgets/CImageBoxFL.h"

namespace {

using widget_test::MakeImage;
using widget_test::TempDir;

struct Shape {
    int w, h, bpp;
    std::vector<unsigned char> bytes;
};

Shape ShapeOf(const CImage &img)
{
    return {img.width, img.height, img.bpp, std::vector<unsigned char>(img.data, img.data + img.ByteCount())};
}

void ExpectShape(const CImage *img, const Shape &s)
{
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->width, s.w);
    EXPECT_EQ(img->height, s.h);
    EXPECT_EQ(img->bpp, s.bpp);
    ASSERT_EQ(img->ByteCount(), s.bytes.size());
    EXPECT_EQ(std::memcmp(img->data, s.bytes.data(), s.bytes.size()), 0);
}

class UndoSnapshot : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto img = MakeImage(6, 4, 24, [](int x, int y, int c) { return x * 40 + y * 7 + c * 3; });
        const std::string path = dir.Path("p.tga");
        ASSERT_EQ(CImage::SaveTGA(img.get(), path.c_str()), CImage::kOk);
        ASSERT_EQ(box.SetImage(path.c_str()), 1);
    }
    TempDir dir;
    CImageBoxFL box{0, 0, 10, 10};
};

TEST_F(UndoSnapshot, AfterAQuarterTurnTheSnapshotHasTheTurnedSides)
{
    box.SaveUndo();
    const Shape upright = ShapeOf(*box.GetImage());
    CTi::Rot90h(box.GetImage());
    const Shape turned = ShapeOf(*box.GetImage());
    ASSERT_EQ(turned.w, 4);
    box.SaveUndo();
    ExpectShape(box.GetUndoImage(), turned);
    CTi::Rot90a(box.GetImage());
    ExpectShape(box.GetImage(), upright);
    box.Undo();
    ExpectShape(box.GetImage(), turned);
    ExpectShape(box.GetUndoImage(), turned);
}

TEST_F(UndoSnapshot, SameByteCountAtAnotherDepth)
{
    box.SaveUndo();  // 6 x 4 colour, 72 bytes
    CTi::NiveauxGris(box.GetImage());
    CTi::Redimensionne(box.GetImage(), 18, 4);  // 18 x 4 grey, 72 bytes too
    const Shape grey = ShapeOf(*box.GetImage());
    box.SaveUndo();
    ExpectShape(box.GetUndoImage(), grey);
    CTi::CouleursRVB(box.GetImage());  // 216 bytes
    box.Undo();
    ExpectShape(box.GetImage(), grey);
    std::memset(box.GetImage()->data, 0, box.GetImage()->ByteCount());
    box.Undo();
    ExpectShape(box.GetImage(), grey);
    EXPECT_NE(box.GetImage()->data, box.GetUndoImage()->data);
}

// The view takes the turned sides, at zoom 100 and at 50 %.
TEST_F(UndoSnapshot, ViewTakesTheTurnedSides)
{
    CTi::Rot90h(box.GetImage());
    box.ImageChange();
    EXPECT_EQ(box.w(), 4);
    EXPECT_EQ(box.h(), 6);
    box.Zoom(50);
    CTi::Rot90a(box.GetImage());
    box.ImageChange();
    EXPECT_EQ(box.w(), 3);
    EXPECT_EQ(box.h(), 2);
}

}  // namespace
