// editor_fixture.h: the application object built for real for the batch
// comparison, with its modal dialogs answered by the test (none may alert)
// and its files in a private temporary folder.
#ifndef MIRLAN_TEST_EDITOR_FIXTURE_H
#define MIRLAN_TEST_EDITOR_FIXTURE_H

#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>

#include <filesystem>
#include <string>

#include "app/commands.h"
#include "app/mirlan_ui.h"
#include "app_driver.h"
#include "image/image.h"

namespace cmdtest {

class CommandsTest : public ::testing::Test {
protected:
    CMirlanUI *ui = nullptr;
    std::string dir;

    void SetUp() override
    {
        fl_register_images();
        AnswerDialogs();  // changes are saved by the test itself before the next opening
        char tmpl[] = "/tmp/mirlan_cmds_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ui = new CMirlanUI();
        cvui = ui;
        ui->win_main->show();
    }

    void TearDown() override
    {
        EXPECT_EQ(Fake().alerts, std::vector<std::string>());
        DestroyApplication(ui);
        std::filesystem::remove_all(dir);
    }

    std::string Path(const std::string &file) const { return dir + "/" + file; }

    // Picks an item of the main menu bar the way a click does.
    void Pick(const char *path) { ASSERT_TRUE(PickAsUser(ui->menuBar, path)); }

    // Moves a slider the way a drag does: new value, then its callback.
    static void Slide(Fl_Valuator *slider, double value)
    {
        slider->value(value);
        slider->do_callback();
    }
};

}  // namespace cmdtest

#endif
