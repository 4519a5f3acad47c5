// app_driver.h: how tests drive an application object: menu items picked
// as a user can pick them, and the end of an object built by a test.
#ifndef MIRLAN_TEST_APP_DRIVER_H
#define MIRLAN_TEST_APP_DRIVER_H

#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <string>

#include "app/mirlan_ui.h"

// Picks the item at path ("&Image/R&otation/&180°") as a click does; fails,
// picking nothing, when the item or a menu above it is greyed out.
inline ::testing::AssertionResult PickAsUser(Fl_Menu_ *menu, const std::string &path)
{
    // A label may hold a slash ("fond/point"): a part of the path that names
    // no item is not a menu.
    for (size_t slash = path.find('/');; slash = path.find('/', slash + 1)) {
        const std::string reached = path.substr(0, slash);
        const Fl_Menu_Item *item = menu->find_item(reached.c_str());
        if (item && !item->active())
            return ::testing::AssertionFailure() << reached << " is greyed out";
        if (slash == std::string::npos) {
            if (!item)
                return ::testing::AssertionFailure() << "no menu item " << path;
            menu->picked(item);
            return ::testing::AssertionSuccess();
        }
    }
}

// The program never destroys its one object; a test that builds one per
// case must take down its four windows (which own every widget) and the
// object, and leave no global pointer to it.
inline void DestroyApplication(CMirlanUI *ui)
{
    Fl_Window *const windows[] = {ui->win_taille, ui->win_about, ui->win_doc, ui->win_main};
    for (Fl_Window *w : windows)
        w->hide();
    Fl::check();
    for (Fl_Window *w : windows)
        delete w;
    delete ui;
    cvui = nullptr;
}

#endif
