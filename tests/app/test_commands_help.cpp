// test_commands_help.cpp: the "Aide" menu's two windows, centred on the main
// window, and the documentation's page buttons.
#include "test_commands_fixture.h"

#include <FL/fl_draw.H>

#include <string>
#include <vector>

namespace cmdtest {
namespace {

using HelpCommands = CommandsTest;

bool EndsWith(const char *text, const std::string &tail)
{
    std::string s = text ? text : "";
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void ExpectCentred(const Fl_Window *main, const Fl_Window *win, int w, int h)
{
    EXPECT_EQ(win->w(), w);
    EXPECT_EQ(win->h(), h);
    EXPECT_EQ(win->x(), std::max(0, main->x() + main->w() / 2 - w / 2));
    EXPECT_EQ(win->y(), std::max(0, main->y() + main->h() / 2 - h / 2));
}

TEST_F(HelpCommands, AboutOpensCentredWithVersionAndBuild)
{
    ui->win_main->position(300, 200);
    Pick("Ai&de/A &propos de Mirlan...");
    EXPECT_TRUE(ui->win_about->shown());
    ExpectCentred(ui->win_main, ui->win_about, 334, 134);
    EXPECT_STREQ(ui->box_version->label(), "v1.0");
    EXPECT_STREQ(ui->box_build->label(), "build 030829");
    EXPECT_STREQ(ui->win_about->label(), "A propos de Mirlan");
    ui->win_about->child(0)->do_callback();  // "Fermer"
    EXPECT_FALSE(ui->win_about->shown());
}

TEST_F(HelpCommands, WindowsNearTheScreenCornerOpenAtZero)
{
    ui->win_main->resize(0, 0, 200, 100);
    Pick("Ai&de/A &propos de Mirlan...");
    EXPECT_EQ(ui->win_about->x(), 0);
    EXPECT_EQ(ui->win_about->y(), 0);
}

TEST_F(HelpCommands, DocumentationAlwaysOpensOnTheAboutPage)
{
    ASSERT_FALSE(CMirlanUI::mnu_help->flags & FL_MENU_INACTIVE);
    Pick("Ai&de/&Documentation");
    EXPECT_TRUE(ui->win_doc->shown());
    EXPECT_FALSE(ui->win_doc->modal());
    ExpectCentred(ui->win_main, ui->win_doc, 536, 398);
    EXPECT_TRUE(EndsWith(ui->help_doc->filename(), "doc/about.htm"));
}

TEST_F(HelpCommands, PageButtonsLoadTheirPages)
{
    Pick("Ai&de/&Documentation");
    Fl_Group *column = nullptr;
    for (int i = 0; i < ui->win_doc->children(); ++i)
        if (Fl_Group *g = ui->win_doc->child(i)->as_group())
            column = g;
    ASSERT_NE(column, nullptr);
    const std::pair<const char *, const char *> pages[] = {
        {"A propos de Mirlan", "doc/about.htm"},    {"Installer Mirlan", "doc/install.htm"},
        {"Historique des versions", "doc/history.htm"}, {"Licence GNU", "doc/gnu.htm"},
        {"Interface utilisateur", "doc/ui.htm"},     {"Traitements et filtres", "doc/filters.htm"},
    };
    ASSERT_GE(column->children(), 6);
    for (int i = 5; i >= 0; --i) {  // backwards, so that each load changes the page
        SCOPED_TRACE(pages[i].first);
        EXPECT_STREQ(column->child(i)->label(), pages[i].first);
        column->child(i)->do_callback();
        EXPECT_TRUE(EndsWith(ui->help_doc->filename(), pages[i].second));
    }
}

struct Place {
    Fl_Widget *widget;
    int x, y, w, h;
    const char *label;
};

void ExpectPlaces(const std::vector<Place> &places)
{
    for (const Place &p : places) {
        SCOPED_TRACE(p.label ? p.label : "(no label)");
        ASSERT_NE(p.widget, nullptr);
        EXPECT_EQ(p.widget->x(), p.x);
        EXPECT_EQ(p.widget->y(), p.y);
        EXPECT_EQ(p.widget->w(), p.w);
        EXPECT_EQ(p.widget->h(), p.h);
        if (p.label)
            EXPECT_STREQ(p.widget->label(), p.label);
        else
            EXPECT_EQ(p.widget->label(), nullptr);
    }
}

TEST_F(HelpCommands, ResizeDialogLayout)
{
    Fl_Double_Window *w = ui->win_taille;
    EXPECT_EQ(w->w(), 220);
    EXPECT_EQ(w->h(), 129);
    EXPECT_STREQ(w->label(), "Taille de l'image");
    EXPECT_TRUE(w->modal());
    EXPECT_EQ(w->resizable(), nullptr);
    ASSERT_EQ(w->children(), 7);
    ExpectPlaces({{ui->in_largeur, 65, 12, 100, 25, "Largeur : "},
                  {ui->in_hauteur, 65, 41, 100, 25, "Hauteur : "},
                  {ui->chk_proportions, 10, 70, 160, 25, " Conserver les proportions"},
                  {ui->bt_applyTaille, 115, 100, 90, 20, "Appliquer"},
                  {ui->bt_annulerTaille, 25, 100, 70, 20, "Annuler"},
                  {w->child(5), 166, 15, 50, 20, "pixels"},
                  {w->child(6), 166, 43, 50, 20, "pixels"}});
    EXPECT_EQ(w->child(0), ui->in_largeur);
    EXPECT_TRUE(ui->chk_proportions->value());
    EXPECT_EQ(ui->in_largeur->step(), 0);
}

// Where the toolkit draws a widget's label: measured in its font, centred,
// or 3 pixels in from the side it keeps to.
struct TextBox {
    const char *text;
    int x0, x1, y0, y1;
};
TextBox DrawnLabel(const Fl_Widget *w)
{
    fl_font(w->labelfont(), w->labelsize());
    int tw = 0, th = 0;
    fl_measure(w->label(), tw, th, 0);
    int x = w->x() + (w->w() - tw) / 2;
    if (w->align() & FL_ALIGN_LEFT)
        x = w->x() + 3;
    else if (w->align() & FL_ALIGN_RIGHT)
        x = w->x() + w->w() - 3 - tw;
    const int y = w->y() + (w->h() - th) / 2;
    return {w->label(), x, x + tw, y, y + th};
}

// The texts once ran together ("Mirlanv1.0build 030829") and the licence
// line was cut by the window's edge.
TEST_F(HelpCommands, AboutTextsStandApartInsideTheWindow)
{
    fl_open_display();
    const Fl_Window *w = ui->win_about;
    std::vector<TextBox> texts;
    for (int i = 0; i < w->children(); ++i)
        if (w->child(i)->label())
            texts.push_back(DrawnLabel(w->child(i)));
    for (size_t i = 0; i < texts.size(); ++i) {
        const TextBox &a = texts[i];
        EXPECT_TRUE(a.x0 >= 0 && a.x1 <= w->w()) << a.text;
        for (size_t j = i + 1; j < texts.size(); ++j) {
            const TextBox &b = texts[j];
            const bool apart = a.x1 + 3 <= b.x0 || b.x1 + 3 <= a.x0 || a.y1 <= b.y0 || b.y1 <= a.y0;
            EXPECT_TRUE(apart) << a.text << " / " << b.text;
        }
    }
}

TEST_F(HelpCommands, AboutWindowLayout)
{
    Fl_Double_Window *w = ui->win_about;
    EXPECT_EQ(w->w(), 334);
    EXPECT_EQ(w->h(), 134);
    EXPECT_TRUE(w->modal());
    EXPECT_EQ(w->resizable(), nullptr);
    ASSERT_EQ(w->children(), 8);
    ExpectPlaces({{w->child(0), 278, 109, 50, 20, "Fermer"},
                  {w->child(1), 5, 5, 130, 125, nullptr}});
    ASSERT_NE(w->child(1)->image(), nullptr);
    EXPECT_EQ(w->child(1)->image()->w(), 116);
    EXPECT_EQ(w->child(1)->image()->h(), 115);
    EXPECT_EQ(w->child(2)->labelfont(), FL_HELVETICA_BOLD);
}

TEST_F(HelpCommands, DocumentationWindowLayout)
{
    Fl_Double_Window *w = ui->win_doc;
    EXPECT_EQ(w->w(), 536);
    EXPECT_EQ(w->h(), 398);
    EXPECT_STREQ(w->label(), "Documentation Mirlan");
    EXPECT_FALSE(w->modal());
    EXPECT_EQ(w->resizable(), ui->help_doc);
    ASSERT_EQ(w->children(), 2);
    Fl_Group *column = w->child(1)->as_group();
    ASSERT_NE(column, nullptr);
    ASSERT_EQ(column->children(), 7);
    ExpectPlaces({{ui->help_doc, 150, 0, 386, 398, nullptr},
                  {column, 0, -5, 150, 400, nullptr},
                  {column->child(0), 4, 6, 140, 15, "A propos de Mirlan"},
                  {column->child(5), 4, 131, 140, 15, "Traitements et filtres"},
                  {column->child(6), 0, 370, 145, 12, nullptr}});
    EXPECT_EQ(column->resizable(), column->child(6));

    // Growing the window enlarges the page only; the buttons stay put.
    w->resize(w->x(), w->y(), 636, 498);
    EXPECT_EQ(ui->help_doc->w(), 486);
    EXPECT_EQ(ui->help_doc->h(), 498);
    EXPECT_EQ(column->child(5)->y(), 131);
    EXPECT_EQ(column->child(5)->w(), 140);
}

}  // namespace
}  // namespace cmdtest
