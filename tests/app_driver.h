// app_driver.h: how tests drive an application object: its modal dialogs
// answered by the test, pictures to open, menu items picked as a user can
// pick them, and the end of an object built by a test.
#ifndef MIRLAN_TEST_APP_DRIVER_H
#define MIRLAN_TEST_APP_DRIVER_H

#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/mirlan_ui.h"
#include "image/image.h"

// What the dialogs answer, and what they were told.
struct FakeDialogs {
    std::vector<std::string> paths;     // one per file chooser; "" or none cancels
    std::vector<std::string> proposed;  // the name each chooser proposed
    std::vector<std::string> alerts;
    std::vector<std::string> questions;  // every question asked
    std::vector<int> answers;            // the next answers, one per question, then answer
    int answer = 2;                      // 0 cancel, 1 save first, 2 do not save
};

inline FakeDialogs &Fake()
{
    static FakeDialogs dialogs;
    return dialogs;
}

// Puts the fake dialogs in place of the modal ones, with no answer queued.
inline void AnswerDialogs()
{
    Fake() = FakeDialogs();
    choose_file_dialog = [](const char *, const char *, const char *fname, int) -> char * {
        static std::string chosen;
        Fake().proposed.push_back(fname ? fname : "");
        auto &paths = Fake().paths;
        chosen = paths.empty() ? "" : paths.front();
        paths.erase(paths.begin(), paths.begin() + !paths.empty());
        return chosen.empty() ? nullptr : &chosen[0];
    };
    alert_dialog = [](const char *message) { Fake().alerts.push_back(message); };
    question_dialog = [](const char *, const char *question, const char *, const char *, const char *) {
        FakeDialogs &fake = Fake();
        fake.questions.push_back(question);
        if (fake.answers.empty())
            return fake.answer;
        const int next = fake.answers.front();
        fake.answers.erase(fake.answers.begin());
        return next;
    };
    jpeg_quality_dialog = [](int proposed) { return proposed; };  // the quality proposed is taken
}

// A w × h picture of the given depth with every byte different from its
// neighbours, so that any misplaced pixel shows.
inline std::unique_ptr<CImage> Pattern(int w, int h, int bpp)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    for (size_t i = 0; i < img->ByteCount(); ++i)
        img->data[i] = static_cast<unsigned char>((i * 37 + (i / 3) * 11 + i / 97) & 255);
    return img;
}

// Writes img as a binary PPM (24 bits) or PGM (8 bits), for the open command.
inline void WritePNM(const CImage &img, const std::string &path)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fprintf(f, "P%d\n%d %d\n255\n", img.bpp == 8 ? 5 : 6, img.width, img.height);
    std::fwrite(img.data, 1, img.ByteCount(), f);
    std::fclose(f);
}

// Picks the item at path ("&Image/R&otation/&180°") as a click does; fails,
// picking nothing, when the item or a menu above it is greyed out.
inline ::testing::AssertionResult PickAsUser(Fl_Menu_ *menu, const std::string &path)
{
    // A label may hold a slash ("fond/point"): a part of the path that names
    // no item is not a menu.
    for (size_t slash = path.find('/');; slash = path.find('/', slash + 1)) {
        const Fl_Menu_Item *item = menu->find_item(path.substr(0, slash).c_str());
        if (item && !item->active())
            return ::testing::AssertionFailure() << path.substr(0, slash) << " is greyed out";
        if (slash == std::string::npos && !item)
            return ::testing::AssertionFailure() << "no menu item " << path;
        if (slash == std::string::npos)
            return menu->picked(item), ::testing::AssertionSuccess();
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
