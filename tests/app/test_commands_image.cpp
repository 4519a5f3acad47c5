// test_commands_image.cpp: undo, the colour modes, rotations and mirror
// images of the "Image" menu, and the resize dialog they open.
#include "test_commands_fixture.h"

#include "processing/ti.h"

namespace cmdtest {
namespace {

class ImageCommands : public CommandsTest {
protected:
    // Grey images disable the colour sliders and "Niveaux de gris" and enable
    // "Couleurs RVB"; colour images the reverse; the image menus stay enabled.
    void ExpectAvailabilityFollowsDepth()
    {
        bool colour = ui->getImage()->bpp != 8;
        EXPECT_EQ(bool(CMirlanUI::mnu_NG->active()), colour);
        EXPECT_EQ(bool(CMirlanUI::mnu_RVB->active()), !colour);
        for (Fl_Widget *w : {ui->sl_rouge, ui->sl_vert, ui->sl_bleu, ui->sl_saturation})
            EXPECT_EQ(bool(w->active()), colour);
        EXPECT_TRUE(CMirlanUI::mnu_image->active());
        EXPECT_TRUE(ui->bt_applyTraitement->active());
        EXPECT_TRUE(ui->sl_contraste->active());
    }
};

struct Case {
    const char *item;
    void (*engine)(CImage *);
};

void BlackAndWhite(CImage *img)
{
    CTi::NiveauxGris(img);
    CTi::SeuillageFixe(img, 5.0f);
}

const Case kChangingCommands[] = {
    {"&Image/Noir et &Blanc", BlackAndWhite},
    {"&Image/Niveaux de &gris", CTi::NiveauxGris},
    {"&Image/R&otation/&180°", CTi::Rot180},
    {"&Image/R&otation/&90° horaire", CTi::Rot90h},
    {"&Image/R&otation/9&0° antihoraire", CTi::Rot90a},
    {"&Image/R&otation/Symétrie d'axe &verticale", CTi::SymetrieV},
    {"&Image/R&otation/Symétrie d'axe &horizontale", CTi::SymetrieH},
};

TEST_F(ImageCommands, EachCommandMatchesTheEngineAndUndoRestores)
{
    auto original = OpenPattern(23, 17, 24);
    for (const Case &c : kChangingCommands) {
        SCOPED_TRACE(c.item);
        auto expected = CopyOf(original.get());
        c.engine(expected.get());
        Pick(c.item);
        EXPECT_TRUE(SamePixels(ui->getImage(), expected.get()));
        EXPECT_TRUE(SamePixels(ui->box_image->GetUndoImage(), original.get()));
        EXPECT_EQ(ui->box_image->w(), expected->width);
        ExpectAvailabilityFollowsDepth();
        Pick("&Image/&Annuler action");
        EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
        ExpectAvailabilityFollowsDepth();
    }
}

// The point goes with the picture through turns and mirrors.
TEST_F(ImageCommands, TurnsAndMirrorsCarryThePoint)
{
    const struct {
        const char *item;
        int x, y;
    } cases[] = {
        {"&Image/R&otation/&180°", 19, 11},
        {"&Image/R&otation/&90° horaire", 11, 3},
        {"&Image/R&otation/9&0° antihoraire", 5, 19},
        {"&Image/R&otation/Symétrie d'axe &verticale", 3, 11},
        {"&Image/R&otation/Symétrie d'axe &horizontale", 19, 5},
    };
    OpenPattern(23, 17, 24);
    for (const auto &c : cases) {
        ui->box_image->SetCurseur(3, 5);
        Pick(c.item);
        int x, y;
        ui->box_image->GetCurseur(&x, &y);
        EXPECT_EQ(x, c.x) << c.item;
        EXPECT_EQ(y, c.y) << c.item;
        Pick("&Image/&Annuler action");
    }
}

TEST_F(ImageCommands, QuarterTurnShowsInTheStatusLineAndUndoTurnsBack)
{
    OpenPattern(200, 100, 24, "flower.ppm");
    Pick("&Image/R&otation/&90° horaire");
    EXPECT_EQ(StatusText(), "flower.ppm (100x200 24bpp)");
    Pick("&Image/&Annuler action");
    EXPECT_EQ(StatusText(), "flower.ppm (200x100 24bpp)");
}

TEST_F(ImageCommands, UndoIsOneLevelAndDoesNothingRightAfterOpening)
{
    auto original = OpenPattern(20, 10, 24);
    Pick("&Image/&Annuler action");
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));

    Pick("&Image/R&otation/&180°");
    auto after_first = CopyOf(ui->getImage());
    Pick("&Image/R&otation/Symétrie d'axe &verticale");
    Pick("&Image/&Annuler action");
    EXPECT_TRUE(SamePixels(ui->getImage(), after_first.get()));
    Pick("&Image/&Annuler action");
    EXPECT_TRUE(SamePixels(ui->getImage(), after_first.get()));
}

TEST_F(ImageCommands, BlackAndWhiteSwitchesToTheGreyControlsAndUndoBack)
{
    OpenPattern(30, 20, 24);
    Pick(CMirlanUI::mnu_BW);
    CImage *img = ui->getImage();
    ASSERT_EQ(img->bpp, 8);
    for (size_t i = 0; i < img->ByteCount(); ++i)
        ASSERT_TRUE(img->data[i] == 0 || img->data[i] == 255) << i;
    EXPECT_FALSE(ui->sl_rouge->active());
    EXPECT_FALSE(ui->sl_vert->active());
    EXPECT_FALSE(ui->sl_bleu->active());
    EXPECT_FALSE(ui->sl_saturation->active());
    EXPECT_FALSE(CMirlanUI::mnu_NG->active());
    EXPECT_TRUE(CMirlanUI::mnu_RVB->active());
    EXPECT_EQ(StatusText(), "colour.ppm (30x20 8bpp)");

    Pick("&Image/&Annuler action");
    EXPECT_EQ(ui->getImage()->bpp, 24);
    EXPECT_TRUE(ui->sl_saturation->active());
    EXPECT_TRUE(CMirlanUI::mnu_NG->active());
    EXPECT_FALSE(CMirlanUI::mnu_RVB->active());
}

TEST_F(ImageCommands, ColourModeOnAGreyImageEnablesTheColourControls)
{
    auto original = OpenPattern(30, 20, 8);
    EXPECT_FALSE(CMirlanUI::mnu_NG->active());
    Pick(CMirlanUI::mnu_RVB);
    auto expected = CopyOf(original.get());
    CTi::CouleursRVB(expected.get());
    EXPECT_TRUE(SamePixels(ui->getImage(), expected.get()));
    EXPECT_EQ(ui->getImage()->bpp, 24);
    EXPECT_TRUE(ui->sl_rouge->active());
    EXPECT_TRUE(CMirlanUI::mnu_NG->active());
    EXPECT_FALSE(CMirlanUI::mnu_RVB->active());
}

// The resize dialog.

class ResizeDialog : public CommandsTest {
protected:
    void OpenDialog() { Pick("&Image/&Taille de l'image..."); }
    void Type(Fl_Value_Input *field, double value)
    {
        field->value(value);
        field->do_callback();
    }
    void Apply() { ui->bt_applyTaille->do_callback(); }
};

TEST_F(ResizeDialog, OpensCentredWithTheImageSize)
{
    OpenPattern(640, 480, 8);
    OpenDialog();
    EXPECT_TRUE(ui->win_taille->shown());
    EXPECT_TRUE(ui->win_taille->modal());
    EXPECT_EQ(ui->in_largeur->value(), 640);
    EXPECT_EQ(ui->in_hauteur->value(), 480);
    EXPECT_EQ(ui->win_taille->x(), std::max(0, ui->win_main->x() + 712 / 2 - 220 / 2));
    EXPECT_EQ(ui->win_taille->y(), std::max(0, ui->win_main->y() + 579 / 2 - 129 / 2));
    EXPECT_EQ(ui->win_taille->w(), 220);
    EXPECT_EQ(ui->win_taille->h(), 129);
}

TEST_F(ResizeDialog, KeepsTheImageProportionsWhileTyping)
{
    OpenPattern(640, 480, 8);
    OpenDialog();
    Type(ui->in_largeur, 100);
    EXPECT_EQ(ui->in_hauteur->value(), 75);
    Type(ui->in_largeur, 101);
    EXPECT_EQ(ui->in_hauteur->value(), 75);
    Type(ui->in_hauteur, 200);
    EXPECT_EQ(ui->in_largeur->value(), 266);
    Type(ui->in_largeur, 320);
    EXPECT_EQ(ui->in_hauteur->value(), 240);
    Type(ui->in_largeur, 1);
    EXPECT_EQ(ui->in_hauteur->value(), 0);

    ui->chk_proportions->value(0);
    Type(ui->in_largeur, 100);
    EXPECT_EQ(ui->in_hauteur->value(), 0);
}

TEST_F(ResizeDialog, RatioIsHeldInSinglePrecision)
{
    OpenPattern(25, 3, 24);
    OpenDialog();
    Type(ui->in_largeur, 25);
    EXPECT_EQ(ui->in_hauteur->value(), 2);
}

TEST_F(ResizeDialog, AbsurdTypedNumbersDoNotOverflow)
{
    OpenPattern(640, 480, 8);
    OpenDialog();
    Type(ui->in_largeur, 1e300);
    EXPECT_GT(ui->in_hauteur->value(), 1e6);
    Apply();
    EXPECT_EQ(Fake().alerts.size(), 1u);
}

TEST_F(ResizeDialog, ApplyResizesWithAnUndoCopyAndCloses)
{
    auto original = OpenPattern(64, 48, 24);
    OpenDialog();
    Type(ui->in_largeur, 32.9);
    EXPECT_EQ(ui->in_hauteur->value(), 24);
    Apply();
    auto expected = CopyOf(original.get());
    CTi::Redimensionne(expected.get(), 32, 24);
    EXPECT_TRUE(SamePixels(ui->getImage(), expected.get()));
    EXPECT_FALSE(ui->win_taille->shown());
    EXPECT_EQ(StatusText(), "colour.ppm (32x24 24bpp)");
    Pick("&Image/&Annuler action");
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
}

TEST_F(ResizeDialog, SidesAreIndependentWhenProportionsAreOff)
{
    OpenPattern(64, 48, 24);
    OpenDialog();
    ui->chk_proportions->value(0);
    Type(ui->in_largeur, 5999.9);
    Type(ui->in_hauteur, 3);
    Apply();
    EXPECT_TRUE(Fake().alerts.empty());
    EXPECT_EQ(ui->getImage()->width, 5999);
    EXPECT_EQ(ui->getImage()->height, 3);
}

TEST_F(ResizeDialog, OutOfRangeSizesAreRefusedAndTheDialogStays)
{
    auto original = OpenPattern(64, 48, 24);
    OpenDialog();
    ui->chk_proportions->value(0);
    const double bad[][2] = {{6000, 10}, {0, 10}, {-3, 10}, {10, 6000}, {10, 0},
                             {0.5, 10}, {10, 0.99}};
    for (const auto &size : bad) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
        Fake().alerts.clear();
        Type(ui->in_largeur, size[0]);
        Type(ui->in_hauteur, size[1]);
        Apply();
        ASSERT_EQ(Fake().alerts.size(), 1u);
        EXPECT_EQ(Fake().alerts[0], "Erreur : dimensions <= 0 ou >= 6000");
        EXPECT_TRUE(ui->win_taille->shown());
        EXPECT_EQ(ui->in_largeur->value(), size[0]);
        EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
        EXPECT_EQ(ui->box_image->GetUndoImage(), nullptr);
    }
}

TEST_F(ResizeDialog, CancelLeavesTheImageAndRefillsOnReopening)
{
    auto original = OpenPattern(64, 48, 24);
    OpenDialog();
    Type(ui->in_largeur, 10);
    ui->bt_annulerTaille->do_callback();
    EXPECT_FALSE(ui->win_taille->shown());
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
    EXPECT_EQ(ui->box_image->GetUndoImage(), nullptr);
    OpenDialog();
    EXPECT_EQ(ui->in_largeur->value(), 64);
    EXPECT_EQ(ui->in_hauteur->value(), 48);
}

}  // namespace
}  // namespace cmdtest

// After a failed open the view is empty while the menus may still be enabled:
// every command must then leave things alone instead of touching a null image.
namespace cmdtest {
namespace {

}  // namespace
}  // namespace cmdtest
