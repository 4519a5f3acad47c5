// test_commands_view.cpp: the zoom slider and menu steps, fitting the image
// to the view, actual size, the histogram page and its layer toggles.
#include "test_commands_fixture.h"

namespace cmdtest {
namespace {

using ViewCommands = CommandsTest;

const char kZoomIn[] = "&Affichage/&Agrandir";
const char kZoomOut[] = "&Affichage/Ré&duire";
const char kFit[] = "&Affichage/Taill&e écran";
const char kActual[] = "&Affichage/Taille réelle";

TEST_F(ViewCommands, ZoomInStepsByTenUpTo300)
{
    OpenPattern(100, 80, 24);
    for (int i = 0; i < 5; ++i)
        Pick(kZoomIn);
    EXPECT_EQ(ui->sl_zoom->value(), 150);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 150);
    EXPECT_EQ(ui->box_image->w(), 150);
    EXPECT_EQ(ui->box_image->h(), 120);

    ui->sl_zoom->value(290);
    Pick(kZoomIn);
    EXPECT_EQ(ui->sl_zoom->value(), 300);
    EXPECT_EQ(ui->box_image->w(), 300);
    Pick(kZoomIn);
    EXPECT_EQ(ui->sl_zoom->value(), 300);

    ui->sl_zoom->value(295);
    Pick(kZoomIn);
    EXPECT_EQ(ui->sl_zoom->value(), 295);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 300) << "a refused step must not zoom";

    ui->sl_zoom->value(123);
    Pick(kZoomIn);
    EXPECT_EQ(ui->sl_zoom->value(), 133);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 133);
}

TEST_F(ViewCommands, ZoomOutStepsByTenDownTo20)
{
    OpenPattern(100, 80, 24);
    for (int i = 0; i < 8; ++i)
        Pick(kZoomOut);
    EXPECT_EQ(ui->sl_zoom->value(), 20);
    EXPECT_EQ(ui->box_image->w(), 20);
    Pick(kZoomOut);
    EXPECT_EQ(ui->sl_zoom->value(), 20);

    ui->sl_zoom->value(25);
    Pick(kZoomOut);
    EXPECT_EQ(ui->sl_zoom->value(), 25);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 20);
}

// Ctrl+wheel over the picture zooms by the menu's steps, and the picture
// pixel under the mouse stays under it.
TEST_F(ViewCommands, CtrlWheelZoomsAroundTheMouse)
{
    const struct {
        int from, dy, to;
    } cases[] = {{100, -1, 110}, {100, 1, 90}, {295, -1, 295}, {25, 1, 25}, {250, -2, 260}, {150, 1, 140}};
    OpenPattern(800, 600, 24);
    CImageBoxFL *box = ui->box_image;
    for (const auto &c : cases) {
        ui->sl_zoom->value(c.from);
        box->Zoom(c.from);
        ui->scroll_image->scroll_to(0, 0);
        ui->scroll_image->scroll_to(40, 30);
        Fl::e_x = ui->scroll_image->x() + 200;
        Fl::e_y = ui->scroll_image->y() + 150;
        Fl::e_dy = c.dy;
        Fl::e_state = FL_CTRL;
        const double fx = double(Fl::e_x - box->x()) / box->w(), fy = double(Fl::e_y - box->y()) / box->h();
        EXPECT_EQ(box->handle(FL_MOUSEWHEEL), 1);
        Fl::e_state = 0;
        EXPECT_EQ(ui->sl_zoom->value(), c.to) << c.from;
        EXPECT_EQ(box->GetZoomPercent(), c.to) << c.from;
        EXPECT_NEAR(double(Fl::e_x - box->x()) / box->w(), fx, 0.002) << c.from;
        EXPECT_NEAR(double(Fl::e_y - box->y()) / box->h(), fy, 0.002) << c.from;
    }
}

TEST_F(ViewCommands, ActualSizeReturnsTo100)
{
    OpenPattern(100, 80, 24);
    ui->sl_zoom->value(150);
    Pick(kActual);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 100);
    EXPECT_EQ(ui->box_image->w(), 100);

    // At 100 the command does nothing, even if the view differs.
    ui->box_image->Zoom(50);
    Pick(kActual);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 50);
}

TEST_F(ViewCommands, ReleasingTheSliderZoomsToItsTruncatedValue)
{
    OpenPattern(100, 100, 24);
    Slide(ui->sl_zoom, 90.9);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 90);
    EXPECT_EQ(ui->box_image->w(), 89);  // 0.9f × 100 truncates to 89
}

TEST_F(ViewCommands, FitTakesTheTighterSideLessOnePercent)
{
    ASSERT_EQ(ui->scroll_image->w(), 512);
    ASSERT_EQ(ui->scroll_image->h(), 465);
    OpenPattern(1024, 768, 8);
    Pick(kFit);
    EXPECT_EQ(ui->sl_zoom->value(), 49);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 49);
}

TEST_F(ViewCommands, FitIsClampedToTheZoomRange)
{
    OpenPattern(100, 100, 24, "small.ppm");
    Pick(kFit);
    EXPECT_EQ(ui->sl_zoom->value(), 300);
    EXPECT_EQ(ui->box_image->w(), 300);

    OpenPattern(10000, 100, 8, "wide.pgm");
    Pick(kFit);
    EXPECT_EQ(ui->sl_zoom->value(), 20);
    EXPECT_EQ(ui->box_image->w(), 2000);
}

TEST_F(ViewCommands, ZoomCommandsWithoutAnImageDoNothing)
{
    Pick(kZoomIn);
    Pick(kFit);
    EXPECT_EQ(ui->sl_zoom->value(), 100);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 100);
}

TEST_F(ViewCommands, HistogramsItemSelectsTheHistogramPage)
{
    OpenPattern(10, 10, 24);
    EXPECT_EQ(ui->tabs_main->value(), ui->grp_image);
    Pick("&Image/&Histogrammes");
    EXPECT_EQ(ui->tabs_main->value(), ui->grp_histos);
}

TEST_F(ViewCommands, LayerTogglesFollowTheirCheckMarks)
{
    OpenPattern(10, 10, 24);
    ASSERT_EQ(ui->box_histos->GetHauteur(), 850);
    ui->tb_histos->picked(CMirlanUI::rb_rouge);
    ui->tb_histos->picked(CMirlanUI::rb_vert);
    EXPECT_EQ(ui->box_histos->GetAff(1), 0);
    EXPECT_EQ(ui->box_histos->GetAff(2), 0);
    EXPECT_NE(ui->box_histos->GetAff(3), 0);
    EXPECT_EQ(ui->box_histos->GetHauteur(), 450);
    ui->tb_histos->picked(CMirlanUI::rb_vert);
    EXPECT_NE(ui->box_histos->GetAff(2), 0);
    EXPECT_EQ(ui->box_histos->GetHauteur(), 650);

    // The mark and the hidden layer survive opening another image.
    OpenPattern(12, 12, 24, "other.ppm");
    EXPECT_FALSE(CMirlanUI::rb_rouge->value());
    EXPECT_EQ(ui->box_histos->GetAff(1), 0);
}

}  // namespace
}  // namespace cmdtest
