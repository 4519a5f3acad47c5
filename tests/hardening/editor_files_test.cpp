// editor_files_test.cpp: files opened and saved through the real editor's
// commands, in process: every refused file of tests/image/files, opened
// into an empty window and over an open picture, gives one alert and leaves
// the window as it was; the largest pictures open, turn, come back with
// undo and save byte for byte.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/commands.h"
#include "app_driver.h"

namespace {

class EditorFiles : public ::testing::Test {
protected:
    CMirlanUI *ui = nullptr;
    std::string dir = "/tmp/mirlan_editor_XXXXXX";

    void SetUp() override
    {
        fl_register_images();
        AnswerDialogs();  // changes dropped unsaved
        ASSERT_NE(mkdtemp(&dir[0]), nullptr);
        cvui = ui = new CMirlanUI();
        // Shown beyond the screen's edge, out of the way of tests reading it back.
        ui->win_main->show();
        ui->win_main->position(6000, 6000);
        Fl::check();
    }
    void TearDown() override
    {
        DestroyApplication(ui);
        std::filesystem::remove_all(dir);
    }
    void Open(const std::string &path)
    {
        Fake().alerts.clear();
        Fake().paths = {path};
        Pick("&Fichier/&Ouvrir");
    }
    void Pick(const char *path) { ASSERT_TRUE(PickAsUser(ui->menuBar, path)); }
};

TEST_F(EditorFiles, EachRefusedFileGivesOneAlertAndChangesNothing)
{
    const std::string files = std::string(MIRLAN_SOURCE_DIR) + "/tests/image/files/";
    std::ifstream list(files + "expected.txt");
    int refused = 0;
    for (std::string line; std::getline(list, line);) {
        std::string name, outcome;
        std::istringstream(line) >> name >> outcome;
        if (outcome != "bad" && outcome != "large")
            continue;
        for (bool overPicture : {false, true}) {
            if (overPicture)
                Open(files + "p6_13x7.ppm");
            const CImage *before = ui->getImage();
            const std::string status = ui->infos;
            Open(files + name);
            const std::vector<std::string> &alerts = Fake().alerts;
            ASSERT_EQ(alerts.size(), 1u) << name;
            EXPECT_EQ(alerts[0].substr(0, alerts[0].find('\n')), "Impossible de charger cette image !") << name;
            EXPECT_TRUE(ui->getImage() == before && status == ui->infos) << name << " changed the window";
        }
        ++refused;
    }
    EXPECT_GT(refused, 70);
}

// The alert's second line says why, naming the format the content shows.
TEST_F(EditorFiles, TheAlertSaysWhy)
{
    const std::string files = std::string(MIRLAN_SOURCE_DIR) + "/tests/image/files/";
    const std::pair<std::string, std::string> cases[] = {
        {"rows_not_in_file.bmp", "Fichier BMP endommagé ou incomplet."},
        {"png_content.bmp", "Fichier PNG endommagé ou incomplet."},
        {"gif_content.bmp", "Format invalide."},
        {"width_2p31.bmp", "Image trop grande : plus de 32767 pixels de côté."},
        {"missing.png", "Fichier introuvable ou illisible."}};
    for (const auto &c : cases) {
        Open(files + c.first);
        EXPECT_EQ(Fake().alerts, std::vector<std::string>{"Impossible de charger cette image !\n" + c.second}) << c.first;
    }
}

TEST_F(EditorFiles, LargestPicturesOpenTurnUndoAndSaveByteForByte)
{
    // Rows and columns weigh differently, so that a turn or a flip shows.
    auto byte = [](size_t x, size_t y, size_t c) { return (x * 3 + y * 7 + c * 101 + (x >> 8) * 13 + (y >> 8) * 5) & 255; };
    for (const auto &size : {std::pair<int, int>{32767, 2}, {20000, 20000}}) {
#if defined(__SANITIZE_ADDRESS__)
        if (size.first == 20000)
            continue;  // 1.2 GB pictures take minutes under the address sanitizer
#endif
        const size_t w = size_t(size.first), h = size_t(size.second);
        const std::string original = dir + "/original.tga", saved = dir + "/saved.tga";
        {
            CImage img(int(w), int(h), 24);
            unsigned char *p = img.data;
            for (size_t y = 0; y < h; ++y)
                for (size_t x = 0; x < w * 3; ++x)
                    *p++ = static_cast<unsigned char>(byte(x / 3, y, x % 3));
            ASSERT_EQ(CImage::SaveTGA(&img, original.c_str()), CImage::kOk);
        }
        Open(original);
        ASSERT_NE(ui->getImage(), nullptr) << w << "x" << h;
        Pick("&Image/R&otation/&90° horaire");
        const CImage &turned = *ui->getImage();
        ASSERT_TRUE(size_t(turned.width) == h && size_t(turned.height) == w);
        size_t wrong = 0;  // turned clockwise: (x, y) comes from (y, h - 1 - x)
        const unsigned char *p = turned.data;
        for (size_t y = 0; y < w; ++y)
            for (size_t x = 0; x < h * 3; ++x)
                wrong += *p++ != byte(y, h - 1 - x / 3, x % 3);
        EXPECT_EQ(wrong, 0u) << w << "x" << h;
        Pick("&Image/&Annuler Rotation 90° horaire");
        std::remove(saved.c_str());  // saved anew, without the question over the smaller picture's
        Fake().paths = {saved};
        ui->bt_tga->do_callback();
        EXPECT_TRUE(Fake().alerts.empty());
        EXPECT_EQ(std::system(("cmp -s " + original + " " + saved).c_str()), 0) << w << "x" << h;
    }
}

}  // namespace
