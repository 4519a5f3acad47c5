// test_commands_treatments.cpp: choosing the current treatment, the current
// colour, and previewing or applying the treatment at the user's point.
#include "test_commands_fixture.h"

#include "processing/ti.h"
#include "widgets/CImgPreviewBoxFL.h"

namespace cmdtest {
namespace {

using TreatmentCommands = CommandsTest;

struct Selection {
    const char *item;
    int id;
    const char *text;
    bool colour;
    bool value;
};

const Selection kSelections[] = {
    {"&Traitements/Histogrammes/Egalisation ", 7, "Egalisation d'histogramme", false, false},
    {"&Traitements/Histogrammes/Etirement ", 8, "Etirement d'histogramme", false, false},
    {"&Traitements/Distances/Distance (4 connexité) fond/point ", 2,
     "Distance (4 connexité) fond/point", true, true},
    {"&Traitements/Distances/Distance (8 connexité) fond/point ", 3,
     "Distance (8 connexité) fond/point", true, true},
    {"&Traitements/Négatif", 1, "Négatif", false, false},
    {"&Traitements/Dents de scie", 4, "Dents de scie", false, false},
    {"&Traitements/Seuillage fixe", 6, "Seuillage fixe", false, true},
    {"&Traitements/Seuillage aléatoire", 5, "Seuillage aléatoire", false, false},
    {"&Traitements/Pas de traitement", 0, "", false, false},
};

// Places the treatment point with a mouse press on the image view at the
// given image pixel (zoom 100).
void PressAt(CMirlanUI *ui, int x, int y)
{
    Fl::e_x = ui->box_image->x() + x;
    Fl::e_y = ui->box_image->y() + y;
    ui->box_image->handle(FL_PUSH);
}

TEST_F(TreatmentCommands, StartsWithNoTreatmentAndTheControlsDisabled)
{
    EXPECT_STREQ(ui->out_traitement->value(), "");
    EXPECT_EQ(ui->traitement, 0);
    EXPECT_FALSE(ui->bt_color->active());
    EXPECT_FALSE(ui->sl_R->active());
    EXPECT_FALSE(ui->ct_valeur->active());
}

TEST_F(TreatmentCommands, SelectionNamesTheTreatmentAndEnablesItsControls)
{
    for (const Selection &s : kSelections) {
        SCOPED_TRACE(s.item);
        Pick(s.item);
        EXPECT_STREQ(ui->out_traitement->value(), s.text);
        EXPECT_EQ(ui->traitement, s.id);
        for (Fl_Widget *w : {(Fl_Widget *)ui->bt_color, (Fl_Widget *)ui->sl_R,
                             (Fl_Widget *)ui->sl_G, (Fl_Widget *)ui->sl_B})
            EXPECT_EQ(bool(w->active()), s.colour);
        EXPECT_EQ(bool(ui->ct_valeur->active()), s.value);
    }
}

TEST_F(TreatmentCommands, SelectionSurvivesOpeningAndClosing)
{
    Pick("&Traitements/Seuillage fixe");
    OpenPattern(20, 10, 24);
    Pick(CMirlanUI::mnu_close);
    EXPECT_EQ(ui->traitement, 6);
    EXPECT_STREQ(ui->out_traitement->value(), "Seuillage fixe");
    EXPECT_TRUE(ui->ct_valeur->active());
}

TEST_F(TreatmentCommands, ComponentSlidersPaintTheColourButton)
{
    Slide(ui->sl_R, 0);
    Slide(ui->sl_G, 0);
    Slide(ui->sl_B, 0);
    EXPECT_EQ(ui->bt_color->color(), FL_BLACK);
    Slide(ui->sl_R, 255);
    Slide(ui->sl_G, 255.6);
    EXPECT_EQ(ui->bt_color->color(), fl_rgb_color(255, 255, 0));
}

TEST_F(TreatmentCommands, ColourChooserSetsTheSlidersUnlessCancelled)
{
    Fl_Color before = ui->bt_color->color();
    ui->bt_color->do_callback();
    EXPECT_EQ(Fake().colour_calls, 1);
    EXPECT_EQ(Fake().colour_start[0], 255);  // starts from the current colour
    EXPECT_EQ(ui->sl_R->value(), 255);
    EXPECT_EQ(ui->bt_color->color(), before);

    Fake().colour_accept = true;
    Fake().colour[0] = 12;
    Fake().colour[1] = 34;
    Fake().colour[2] = 56;
    ui->bt_color->do_callback();
    EXPECT_EQ(ui->sl_R->value(), 12);
    EXPECT_EQ(ui->sl_G->value(), 34);
    EXPECT_EQ(ui->sl_B->value(), 56);
    EXPECT_EQ(ui->bt_color->color(), fl_rgb_color(12, 34, 56));
}

TEST_F(TreatmentCommands, NoTreatmentLeavesTheImageButTakesAnUndoCopy)
{
    auto original = OpenPattern(20, 10, 24);
    Pick(CMirlanUI::mnu_previewTraitement);
    CImgPreviewBoxFL thumb(0, 0, 165, 126);
    thumb.SetImage(original.get());
    EXPECT_TRUE(SamePixels(ui->box_preview->GetImage(), thumb.GetImage()));
    Pick(CMirlanUI::mnu_applyTraitement);
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
    EXPECT_TRUE(SamePixels(ui->box_image->GetUndoImage(), original.get()));
}

TEST_F(TreatmentCommands, PreviewScalesThePointToTheThumbnail)
{
    auto original = OpenPattern(318, 240, 24);
    Pick("&Traitements/Distances/Distance (8 connexité) fond/point ");
    ui->sl_R->value(10);
    ui->sl_G->value(200);
    ui->sl_B->value(30);
    ui->ct_valeur->value(4);
    PressAt(ui, 300, 100);
    int x, y;
    ui->box_image->GetCurseur(&x, &y);
    ASSERT_EQ(x, 300);
    ASSERT_EQ(y, 100);

    Slide(ui->sl_contraste, 30);  // pending, and not part of the treatment preview
    ui->bt_previewTraitement->do_callback();
    CImgPreviewBoxFL thumb(0, 0, 165, 126);
    thumb.SetImage(original.get());
    CTi::Traitement(thumb.GetImage(), 3, sRGB{10, 200, 30}, 150, 50, 4.0f);
    EXPECT_TRUE(SamePixels(ui->box_preview->GetImage(), thumb.GetImage()));
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
    EXPECT_EQ(ui->box_image->GetUndoImage(), nullptr);

    // A different value shows a different preview; the image stays.
    ui->ct_valeur->value(2);
    Pick(CMirlanUI::mnu_previewTraitement);
    EXPECT_FALSE(SamePixels(ui->box_preview->GetImage(), thumb.GetImage()));
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
}

TEST_F(TreatmentCommands, ApplyUsesTheUnscaledPointAndCanBeUndone)
{
    auto original = OpenPattern(318, 240, 24);
    Pick("&Traitements/Distances/Distance (4 connexité) fond/point ");
    ui->ct_valeur->value(2.5);
    PressAt(ui, 300, 100);
    ui->bt_applyTraitement->do_callback();
    auto expected = CopyOf(original.get());
    CTi::Traitement(expected.get(), 2, sRGB{255, 0, 0}, 300, 100, 2.5f);
    EXPECT_TRUE(SamePixels(ui->getImage(), expected.get()));
    Pick("&Image/&Annuler action");
    EXPECT_TRUE(SamePixels(ui->getImage(), original.get()));
}

TEST_F(TreatmentCommands, EveryTreatmentAppliedMatchesTheEngine)
{
    auto original = OpenPattern(41, 29, 24);
    for (const Selection &s : kSelections) {
        if (s.id == 5)
            continue;  // the random threshold draws from rand()
        SCOPED_TRACE(s.item);
        Pick(s.item);
        Pick(CMirlanUI::mnu_applyTraitement);
        int x, y;
        ui->box_image->GetCurseur(&x, &y);
        auto expected = CopyOf(original.get());
        CTi::Traitement(expected.get(), s.id, sRGB{255, 0, 0}, x, y, 2.0f);
        EXPECT_TRUE(SamePixels(ui->getImage(), expected.get()));
        Pick("&Image/&Annuler action");
    }
}

TEST_F(TreatmentCommands, PreviewAndApplyWithoutAnImageDoNothing)
{
    Pick("&Traitements/Négatif");
    Pick(CMirlanUI::mnu_previewTraitement);
    ui->bt_applyTraitement->do_callback();
    EXPECT_EQ(ui->box_preview->GetImage(), nullptr);
    EXPECT_EQ(ui->getImage(), nullptr);
}

}  // namespace
}  // namespace cmdtest
