// test_commands_help.cpp: the "Aide" menu's two windows, centred on the main
// window, and the documentation's page buttons.
#include "test_commands_fixture.h"

#include <string>

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

}  // namespace
}  // namespace cmdtest
