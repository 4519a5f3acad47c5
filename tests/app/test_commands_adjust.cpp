// test_commands_adjust.cpp: the adjustment sliders preview on the thumbnail
// only; apply changes the image (with an undo copy); reset clears them.
#include "test_commands_fixture.h"

#include "processing/ti.h"
#include "widgets/CImgPreviewBoxFL.h"

namespace cmdtest {
namespace {

using AdjustCommands = CommandsTest;

// The thumbnail of img with the adjustments applied by the engine directly.
std::unique_ptr<CImage> AdjustedThumbnail(CImage *img, int lum, int r, int v, int b, int c, int s)
{
    CImgPreviewBoxFL box(0, 0, 165, 126);
    box.SetImage(img);
    CTi::Luminosite(box.GetImage(), lum, r, v, b);
    CTi::Contraste(box.GetImage(), c);
    CTi::Saturation(box.GetImage(), s);
    return CopyOf(box.GetImage());
}

void Adjusted(CImage *img, int lum, int r, int v, int b, int c, int s)
{
    CTi::Luminosite(img, lum, r, v, b);
    CTi::Contraste(img, c);
    CTi::Saturation(img, s);
}

TEST_F(AdjustCommands, EverySliderPreviewsAllSixOnAFreshThumbnail)
{
    auto original = OpenPattern(200, 150, 24);
    Slide(ui->sl_lum, 20.7);
    Slide(ui->sl_rouge, -30);
    Slide(ui->sl_vert, 10);
    Slide(ui->sl_bleu, 5);
    Slide(ui->sl_contraste, 50);
    Slide(ui->sl_saturation, -40.2);
    EXPECT_TRUE(SamePixels(ui->box_preview->GetImage(),
                           AdjustedThumbnail(original.get(), 20, -30, 10, 5, 50, -40).get()));
    // The image, its status and its histograms are untouched.
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
    EXPECT_EQ(ui->box_image->GetUndoImage(), nullptr);
    EXPECT_EQ(StatusText(), "colour.ppm (200x150 24bpp)");

    // Values never pile up: back to 0 the slider's effect is gone.
    Slide(ui->sl_contraste, 0);
    EXPECT_TRUE(SamePixels(ui->box_preview->GetImage(),
                           AdjustedThumbnail(original.get(), 20, -30, 10, 5, 0, -40).get()));
}

TEST_F(AdjustCommands, ApplyChangesTheImageAndZeroesTheSliders)
{
    auto original = OpenPattern(64, 48, 24);
    Slide(ui->sl_lum, -15);
    Slide(ui->sl_contraste, 30);
    Slide(ui->sl_saturation, 60);
    Pick("&Image/Ré&glages/&Appliquer à l'image");

    auto expected = CopyOf(original.get());
    Adjusted(expected.get(), -15, 0, 0, 0, 30, 60);
    EXPECT_TRUE(SamePixels(ui->getImage(), expected.get()));
    for (Fl_Valuator *s : {ui->sl_lum, ui->sl_rouge, ui->sl_vert, ui->sl_bleu, ui->sl_contraste,
                           ui->sl_saturation})
        EXPECT_EQ(s->value(), 0);
    CImgPreviewBoxFL thumb(0, 0, 165, 126);
    thumb.SetImage(expected.get());
    EXPECT_TRUE(SamePixels(ui->box_preview->GetImage(), thumb.GetImage()));

    Pick("&Image/&Annuler action");
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
}

TEST_F(AdjustCommands, ApplyWithSlidersAtZeroStillReplacesTheUndoCopy)
{
    auto original = OpenPattern(32, 24, 24);
    Slide(ui->sl_vert, 50);
    ui->bt_reglages->do_callback();
    auto after_first = CopyOf(ui->getImage());
    ASSERT_FALSE(SamePixels(after_first.get(), original.get()));
    ui->bt_reglages->do_callback();
    EXPECT_TRUE(SamePixels(ui->getImage(), after_first.get()));
    Pick("&Image/&Annuler action");
    EXPECT_TRUE(SamePixels(ui->getImage(), after_first.get()));
}

TEST_F(AdjustCommands, ResetZeroesTheSlidersAndRestoresTheThumbnail)
{
    auto original = OpenPattern(64, 48, 24);
    Slide(ui->sl_bleu, 70);
    Slide(ui->sl_contraste, -20);
    Pick("&Image/Ré&glages/Remise à &zéro");
    EXPECT_EQ(ui->sl_bleu->value(), 0);
    EXPECT_EQ(ui->sl_contraste->value(), 0);
    CImgPreviewBoxFL thumb(0, 0, 165, 126);
    thumb.SetImage(original.get());
    EXPECT_TRUE(SamePixels(ui->box_preview->GetImage(), thumb.GetImage()));
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
}

TEST_F(AdjustCommands, PendingAdjustmentsFollowARotationOnThePreview)
{
    auto original = OpenPattern(40, 30, 24);
    Slide(ui->sl_rouge, 40);
    Pick("&Image/R&otation/&90° horaire");
    auto rotated = CopyOf(original.get());
    CTi::Rot90h(rotated.get());
    EXPECT_TRUE(SamePixels(ui->getImage(), rotated.get()));
    EXPECT_EQ(ui->sl_rouge->value(), 40);
    EXPECT_TRUE(SamePixels(ui->box_preview->GetImage(),
                           AdjustedThumbnail(rotated.get(), 0, 40, 0, 0, 0, 0).get()));
}

TEST_F(AdjustCommands, GreyImagePreviewUsesTheGreyOperations)
{
    auto original = OpenPattern(50, 40, 8);
    EXPECT_FALSE(ui->sl_rouge->active());
    EXPECT_FALSE(ui->sl_saturation->active());
    Slide(ui->sl_lum, 35);
    EXPECT_EQ(ui->box_preview->GetImage()->bpp, 8);
    EXPECT_TRUE(SamePixels(ui->box_preview->GetImage(),
                           AdjustedThumbnail(original.get(), 35, 0, 0, 0, 0, 0).get()));
}

TEST_F(AdjustCommands, SlidersWithoutAnImageDoNothing)
{
    Slide(ui->sl_lum, 35);
    ui->bt_reglages->do_callback();
    EXPECT_EQ(ui->box_preview->GetImage(), nullptr);
    EXPECT_EQ(ui->getImage(), nullptr);
}

}  // namespace
}  // namespace cmdtest
