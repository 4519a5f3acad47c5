// editor_fixture.h: the application object built for real, with its
// modal dialogs answered by the test, sample images written to a private
// temporary folder, and helpers to pick menu items and compare images.
#ifndef MIRLAN_TEST_EDITOR_FIXTURE_H
#define MIRLAN_TEST_EDITOR_FIXTURE_H

#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/file_dialogs.h"
#include "app/mirlan_ui.h"
#include "app_lifetime.h"
#include "image/image.h"

namespace cmdtest {

// What the fake dialogs were asked and what they answer.
struct Dialogs {
    std::vector<std::string> chooser_titles;
    std::vector<std::string> chooser_patterns;
    std::vector<std::string> alerts;
    std::string next_path;        // empty: the chooser is cancelled
    std::deque<std::string> queued_paths;  // answered first, one per chooser
    std::vector<std::string> questions;
    int question_answer = 0;      // 0 cancel, 1 save first, 2 do not save
    bool colour_accept = false;
    unsigned char colour[3] = {0, 0, 0};
    unsigned char colour_start[3] = {0, 0, 0};
    int colour_calls = 0;
};

inline Dialogs &Fake()
{
    static Dialogs dialogs;
    return dialogs;
}

inline char *FakeChooser(const char *title, const char *pattern, const char *, int)
{
    static char answer[4096];
    Fake().chooser_titles.push_back(title);
    Fake().chooser_patterns.push_back(pattern);
    if (!Fake().queued_paths.empty()) {
        std::string path = Fake().queued_paths.front();
        Fake().queued_paths.pop_front();
        if (path.empty())
            return nullptr;
        std::snprintf(answer, sizeof answer, "%s", path.c_str());
        return answer;
    }
    if (Fake().next_path.empty())
        return nullptr;
    std::snprintf(answer, sizeof answer, "%s", Fake().next_path.c_str());
    return answer;
}

inline void FakeAlert(const char *message) { Fake().alerts.push_back(message); }

inline int FakeQuestion(const char *question)
{
    Fake().questions.push_back(question);
    return Fake().question_answer;
}

inline int FakeColourChooser(const char *, unsigned char &r, unsigned char &g, unsigned char &b)
{
    Fake().colour_calls++;
    Fake().colour_start[0] = r;
    Fake().colour_start[1] = g;
    Fake().colour_start[2] = b;
    if (!Fake().colour_accept)
        return 0;
    r = Fake().colour[0];
    g = Fake().colour[1];
    b = Fake().colour[2];
    return 1;
}

// A w × h picture of the given depth with every byte different from its
// neighbours, so that any misplaced pixel shows.
inline std::unique_ptr<CImage> Pattern(int w, int h, int bpp)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    size_t n = img->ByteCount();
    for (size_t i = 0; i < n; ++i)
        img->data[i] = static_cast<unsigned char>((i * 37 + (i / 3) * 11 + i / 97) & 255);
    return img;
}

// Writes img as a binary PPM (24 bits) or PGM (8 bits).
inline void WritePNM(const CImage &img, const std::string &path)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fprintf(f, "P%d\n%d %d\n255\n", img.bpp == 8 ? 5 : 6, img.width, img.height);
    std::fwrite(img.data, 1, img.ByteCount(), f);
    std::fclose(f);
}

inline bool SamePixels(const CImage *a, const CImage *b)
{
    return a && b && a->width == b->width && a->height == b->height && a->bpp == b->bpp &&
           std::memcmp(a->data, b->data, a->ByteCount()) == 0;
}

inline std::unique_ptr<CImage> CopyOf(CImage *img) { return std::unique_ptr<CImage>(img->Copy()); }

class CommandsTest : public ::testing::Test {
protected:
    CMirlanUI *ui = nullptr;
    std::string dir;
    // The menu tables are static, shared by every application object: their
    // flags are put back as construction left them, for the tests that follow.
    std::vector<int> bar_flags, layer_flags;

    void SetUp() override
    {
        fl_register_images();
        Fake() = Dialogs();
        choose_file_dialog = FakeChooser;
        alert_dialog = FakeAlert;
        save_question_dialog = FakeQuestion;
        color_chooser_dialog = FakeColourChooser;
        CImageBoxFL::alert_function = FakeAlert;
        char tmpl[] = "/tmp/mirlan_cmds_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ui = new CMirlanUI();
        cvui = ui;
        for (const Fl_Menu_Item &item : CMirlanUI::menu_menuBar)
            bar_flags.push_back(item.flags);
        for (const Fl_Menu_Item &item : CMirlanUI::menu_tb_histos)
            layer_flags.push_back(item.flags);
        ui->win_main->show();
    }

    void TearDown() override
    {
        DestroyApplication(ui);
        for (size_t i = 0; i < bar_flags.size(); ++i)
            CMirlanUI::menu_menuBar[i].flags = bar_flags[i];
        for (size_t i = 0; i < layer_flags.size(); ++i)
            CMirlanUI::menu_tb_histos[i].flags = layer_flags[i];
        std::filesystem::remove_all(dir);
    }

    std::string Path(const std::string &file) const { return dir + "/" + file; }

    // Opens img through the open command, as if chosen in the file chooser.
    void Open(const CImage &img, const std::string &file)
    {
        WritePNM(img, Path(file));
        Fake().next_path = Path(file);
        Pick(CMirlanUI::mnu_open);
        Fake().next_path.clear();
        ASSERT_NE(ui->getImage(), nullptr) << "could not open " << file;
    }

    std::unique_ptr<CImage> OpenPattern(int w, int h, int bpp, const std::string &file = "")
    {
        auto img = Pattern(w, h, bpp);
        Open(*img, file.empty() ? (bpp == 8 ? "grey.pgm" : "colour.ppm") : file);
        return img;
    }

    // Picks an item of the main menu bar the way a click does.
    void Pick(const Fl_Menu_Item *item) { ui->menuBar->picked(item); }
    void Pick(const char *path)
    {
        const Fl_Menu_Item *item = ui->menuBar->find_item(path);
        ASSERT_NE(item, nullptr) << path;
        Pick(item);
    }

    // Moves a slider the way a drag does: new value, then its callback.
    static void Slide(Fl_Valuator *slider, double value)
    {
        slider->value(value);
        slider->do_callback();
    }

    std::string StatusText() const { return ui->box_infos->label() ? ui->box_infos->label() : ""; }
};

}  // namespace cmdtest

#endif
