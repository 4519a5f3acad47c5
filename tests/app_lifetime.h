// app_lifetime.h: the end of an application object built by a test. The
// program itself never destroys its one object; a test that builds one per
// case must take down its four windows (which own every widget) and the
// object, and leave no global pointer to it.
#ifndef MIRLAN_TEST_APP_LIFETIME_H
#define MIRLAN_TEST_APP_LIFETIME_H

#include <FL/Fl.H>

#include "app/mirlan_ui.h"

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
