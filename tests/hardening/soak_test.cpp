// soak_test.cpp: thousands of random user actions on the real application
// object: opening random small images (and now and then a broken file),
// every menu item that is available, the tool-bar buttons, every slider,
// the treatment value, the resize dialog, clicks on the image, the layer
// toggles, undo and close. After each action the whole window must agree
// with its image (see Inconsistencies); the first disagreement stops the
// run with the actions that led to it.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "hardening_fixture.h"

namespace hardening {
namespace {

// A menu item with the submenus that enclose it.
struct MenuEntry {
    Fl_Menu_Item *item;
    std::vector<const Fl_Menu_Item *> parents;
};

// The help windows touch no image; they are left out so that no window of
// these tests comes onto the screen shared with other test programs.
bool OpensHelp(const Fl_Menu_Item *item)
{
    return item->callback() == (Fl_Callback *)CMirlanUI::cb_Documentation ||
           item->callback() == (Fl_Callback *)CMirlanUI::cb_A;
}

// Every item of the main menu bar that runs a command, but the help windows.
std::vector<MenuEntry> CommandItems()
{
    std::vector<MenuEntry> entries;
    std::vector<const Fl_Menu_Item *> open;
    for (Fl_Menu_Item *item = CMirlanUI::menu_menuBar;; ++item) {
        if (!item->label()) {
            if (open.empty())
                break;
            open.pop_back();
            continue;
        }
        if (item->flags & FL_SUBMENU)
            open.push_back(item);
        else if (item->callback() && !OpensHelp(item))
            entries.push_back({item, open});
    }
    return entries;
}

bool Available(const MenuEntry &e)
{
    if (!e.item->active())
        return false;
    for (const Fl_Menu_Item *p : e.parents)
        if (!p->active())
            return false;
    return true;
}

// "Quitter" would end the session; it is the one command left out.
bool IsQuit(const MenuEntry &e) { return e.item->callback() == (Fl_Callback *)CMirlanUI::cb_Quitter; }

class Soak : public HardeningTest {
protected:
    std::mt19937 rng;
    std::deque<std::string> history;
    int fileCount = 0;

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Chance(int percent) { return Uniform(1, 100) <= percent; }

    void Remember(const std::string &action)
    {
        history.push_back(action);
        if (history.size() > 12)
            history.pop_front();
    }

    std::string History() const
    {
        std::ostringstream s;
        for (const std::string &a : history)
            s << "\n  " << a;
        return s.str();
    }

    // A random small picture saved in a random format the program reads.
    std::string RandomImageFile()
    {
        const int w = Uniform(1, 48), h = Uniform(1, 48), bpp = Chance(40) ? 8 : 24;
        std::unique_ptr<CImage> img(PatternImage(w, h, bpp, unsigned(Uniform(0, 1000))));
        const std::string base = Path("img" + std::to_string(fileCount++ % 8));
        switch (Uniform(0, 2)) {
        case 0:
            CImage::SaveTGA(img.get(), (base + ".tga").c_str());
            return base + ".tga";
        case 1:
            CImage::SaveBMP(img.get(), (base + ".bmp").c_str());
            return base + ".bmp";
        default: {
            const std::string path = base + (bpp == 8 ? ".pgm" : ".ppm");
            std::string header = std::string(bpp == 8 ? "P5" : "P6") + "\n" + std::to_string(w) + " " +
                                 std::to_string(h) + "\n255\n";
            std::vector<unsigned char> bytes(header.begin(), header.end());
            bytes.insert(bytes.end(), img->data, img->data + img->ByteCount());
            WriteFile(path, bytes);
            return path;
        }
        }
    }

    std::string BrokenFile()
    {
        static const char *const kExtensions[] = {".tga", ".bmp", ".ppm", ".pgm", ".png"};
        std::vector<unsigned char> bytes(size_t(Uniform(0, 80)));
        for (unsigned char &b : bytes)
            b = static_cast<unsigned char>(Uniform(0, 255));
        const std::string path = Path(std::string("broken") + kExtensions[Uniform(0, 4)]);
        WriteFile(path, bytes);
        return path;
    }

    void OpenSomething()
    {
        const std::string path = Chance(10) ? BrokenFile() : RandomImageFile();
        Remember("open " + path.substr(path.rfind('/') + 1));
        Open(path);
    }

    void PickMenu(const std::vector<MenuEntry> &items)
    {
        std::vector<const MenuEntry *> available;
        for (const MenuEntry &e : items)
            if (Available(e) && e.item != CMirlanUI::mnu_open && !IsQuit(e))
                available.push_back(&e);
        const MenuEntry &e = *available[size_t(Uniform(0, int(available.size()) - 1))];
        // The save commands ask for a name: answer one, or cancel.
        Fake().next_path = Chance(80) ? Path(Chance(50) ? "saved.tga" : "saved.bmp") : "";
        Remember(std::string("menu ") + e.item->label());
        if (e.item->callback() == (Fl_Callback *)CMirlanUI::cb_Taille) {
            // The dialog is filled as the command fills it, but not shown.
            ui->in_largeur->value(ui->getImage()->width);
            ui->in_hauteur->value(ui->getImage()->height);
            AnswerResizeDialog();
        } else {
            Pick(e.item);
        }
        Fake().next_path.clear();
    }

    void AnswerResizeDialog()
    {
        if (Chance(20)) {
            Remember("resize: cancel");
            ui->bt_annulerTaille->do_callback();
            return;
        }
        ui->chk_proportions->value(Chance(50));
        Fl_Value_Input *typed = Chance(50) ? ui->in_largeur : ui->in_hauteur;
        typed->value(Chance(5) ? Uniform(-5, 7000) : Uniform(1, 64));
        typed->do_callback();
        Remember("resize to " + std::to_string(int(ui->in_largeur->value())) + " x " +
                 std::to_string(int(ui->in_hauteur->value())));
        ui->bt_applyTaille->do_callback();
    }

    void MoveSlider()
    {
        struct Slider {
            Fl_Valuator *slider;
            int lo, hi;
        };
        const Slider sliders[] = {{ui->sl_zoom, 20, 300},      {ui->sl_lum, -100, 100},
                                  {ui->sl_rouge, -100, 100},   {ui->sl_vert, -100, 100},
                                  {ui->sl_bleu, -100, 100},    {ui->sl_contraste, -100, 100},
                                  {ui->sl_saturation, -100, 100}, {ui->sl_R, 0, 255},
                                  {ui->sl_G, 0, 255},          {ui->sl_B, 0, 255},
                                  {ui->ct_valeur, -300, 300}};
        const Slider &s = sliders[Uniform(0, int(sizeof sliders / sizeof sliders[0]) - 1)];
        if (!s.slider->active() || !s.slider->active_r())
            return;
        const int value = Uniform(s.lo, s.hi);
        Remember(std::string("slider ") + (s.slider->label() ? s.slider->label() : "?") + " = " +
                 std::to_string(value));
        s.slider->value(value);
        s.slider->do_callback();
    }

    void PressButton()
    {
        Fl_Button *const buttons[] = {ui->bt_bmp, ui->bt_tga, ui->bt_reglages, ui->bt_previewTraitement,
                                      ui->bt_applyTraitement, ui->bt_color};
        Fl_Button *b = buttons[Uniform(0, 5)];
        if (!b->active_r())
            return;
        Fake().next_path = Path("button_save.img");
        Remember(std::string("button ") + (b->tooltip() ? b->tooltip() : b->label() ? b->label() : "?"));
        b->do_callback();
        Fake().next_path.clear();
    }

    void ToggleLayer()
    {
        Fl_Menu_Item *const layers[] = {CMirlanUI::rb_lum, CMirlanUI::rb_rouge, CMirlanUI::rb_vert,
                                        CMirlanUI::rb_bleu};
        Fl_Menu_Item *item = layers[Uniform(0, 3)];
        if (!item->active())
            return;
        Remember(std::string("layer ") + item->label());
        ui->tb_histos->picked(item);
    }

    void ClickImage()
    {
        if (!ui->getImage())
            return;
        Fl::e_x = ui->box_image->x() + Uniform(0, ui->box_image->w());
        Fl::e_y = ui->box_image->y() + Uniform(0, ui->box_image->h());
        Remember("click at " + std::to_string(Fl::e_x - ui->box_image->x()) + ", " +
                 std::to_string(Fl::e_y - ui->box_image->y()));
        ui->box_image->handle(FL_PUSH);
    }

    // One random action, weighted towards what changes the image.
    void Step(const std::vector<MenuEntry> &items)
    {
        const int r = Uniform(1, 100);
        if (r <= 8 || !ui->getImage())
            OpenSomething();
        else if (r <= 60)
            PickMenu(items);
        else if (r <= 78)
            MoveSlider();
        else if (r <= 88)
            PressButton();
        else if (r <= 94)
            ToggleLayer();
        else
            ClickImage();
    }
};

TEST_F(Soak, RandomCommandsKeepTheWindowConsistent)
{
    const unsigned seed = std::getenv("MIRLAN_SOAK_SEED") ? unsigned(std::atoi(std::getenv("MIRLAN_SOAK_SEED")))
                                                           : 20031u;
    rng.seed(seed);
    const int steps = UnderSanitizer() ? 5000 : 8000;
    const std::vector<MenuEntry> items = CommandItems();
    ASSERT_GE(items.size(), 30u);
    int done = 0;
    for (; done < steps; ++done) {
        Step(items);
        const std::vector<std::string> problems = Inconsistencies(*ui);
        if (!problems.empty()) {
            std::string all;
            for (const std::string &p : problems)
                all += "\n" + p;
            FAIL() << "seed " << seed << ", after action " << done + 1 << ":" << all << "\nlast actions:"
                   << History();
        }
        // Let the toolkit draw now and then, so that drawing sees every state too.
        if (done % 64 == 0)
            Fl::check();
    }
    RecordProperty("soak_actions", done);
    std::printf("soak: %d actions, seed %u\n", done, seed);
}

// The check that the soak relies on must see each kind of disagreement.
TEST_F(Soak, ConsistencyCheckSeesABrokenWindow)
{
    std::unique_ptr<CImage> img(PatternImage(30, 20, 8));
    ASSERT_EQ(CImage::SaveTGA(img.get(), Path("grey.tga").c_str()), CImage::kOk);
    Open(Path("grey.tga"));
    ASSERT_TRUE(Inconsistencies(*ui).empty());
    const std::vector<std::function<void()>> breakages = {
        [&] { ui->imageInfos("%s", "autre.tga (30x20 8bpp)"); },
        [&] { CMirlanUI::mnu_NG->activate(); },
        [&] { ui->sl_saturation->activate(); },
        [&] { ui->box_image->Zoom(50); },
        [&] { ui->box_preview->Close(); },
        [&] {
            std::unique_ptr<CImage> other(PatternImage(10, 10, 8));
            ui->box_histos->SetImage(other.get());
        },
    };
    for (size_t i = 0; i < breakages.size(); ++i) {
        breakages[i]();
        EXPECT_FALSE(Inconsistencies(*ui).empty()) << "breakage " << i << " went unseen";
        Open(Path("grey.tga"));
        ASSERT_TRUE(Inconsistencies(*ui).empty()) << "after breakage " << i;
    }
    ui->box_image->Close();
    EXPECT_FALSE(Inconsistencies(*ui).empty()) << "a window left enabled without an image went unseen";
}

// With no image, every command of every menu and button, available or not,
// must do nothing to the window (the help windows need no image).
TEST_F(Soak, EveryCommandWithoutAnImageDoesNothing)
{
    Fake().next_path = Path("never_written.tga");
    for (const MenuEntry &e : CommandItems()) {
        if (IsQuit(e) || e.item == CMirlanUI::mnu_open)
            continue;
        SCOPED_TRACE(e.item->label());
        Pick(e.item);
        ui->win_taille->hide();
        ExpectEmptyWindow();
    }
    for (Fl_Widget *w : {(Fl_Widget *)ui->bt_bmp, (Fl_Widget *)ui->bt_tga, (Fl_Widget *)ui->bt_reglages,
                         (Fl_Widget *)ui->bt_previewTraitement, (Fl_Widget *)ui->bt_applyTraitement,
                         (Fl_Widget *)ui->sl_zoom, (Fl_Widget *)ui->sl_lum, (Fl_Widget *)ui->sl_saturation,
                         (Fl_Widget *)ui->bt_applyTaille, (Fl_Widget *)ui->in_largeur}) {
        w->do_callback();
        ExpectEmptyWindow();
    }
    EXPECT_FALSE(std::filesystem::exists(Path("never_written.tga")));
    EXPECT_TRUE(Fake().alerts.empty());
}

}  // namespace
}  // namespace hardening
