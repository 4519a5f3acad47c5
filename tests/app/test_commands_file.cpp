// test_commands_file.cpp: opening through the file chooser, saving as BMP and
// TGA (and what a failed save leaves), closing and quitting.
#include "test_commands_fixture.h"

#include <sys/stat.h>

namespace cmdtest {
namespace {

using FileCommands = CommandsTest;

// Reads back a file written by one of our writers through the same codec
// family the image view uses for TGA, or checks a BMP's size at least.
std::unique_ptr<CImage> LoadTGA(const std::string &path)
{
    auto img = std::make_unique<CImage>();
    EXPECT_EQ(CImage::LoadTGA(img.get(), path.c_str()), CImage::kOk) << path;
    return img;
}

TEST_F(FileCommands, OpenAsksForImagesAndLoadsTheChosenFile)
{
    auto img = Pattern(20, 10, 24);
    WritePNM(*img, Path("photo.ppm"));
    Fake().next_path = Path("photo.ppm");
    ui->bt_open->do_callback();
    ASSERT_EQ(Fake().chooser_titles.size(), 1u);
    EXPECT_EQ(Fake().chooser_titles[0], "Ouvrir image");
    EXPECT_EQ(Fake().chooser_patterns[0], "*.{bm,bmp,pgm,ppm,tga}");
    EXPECT_TRUE(SamePixels(ui->getImage(), img.get()));
    EXPECT_EQ(StatusText(), "photo.ppm (20x10 24bpp)");
    EXPECT_TRUE(ui->bt_bmp->active());
    EXPECT_TRUE(CMirlanUI::mnu_image->active());
}

TEST_F(FileCommands, CancelledOpenChangesNothing)
{
    auto img = OpenPattern(20, 10, 24);
    Pick(CMirlanUI::mnu_open);  // the chooser answers null
    EXPECT_TRUE(SamePixels(ui->getImage(), img.get()));
    EXPECT_EQ(StatusText(), "colour.ppm (20x10 24bpp)");
}

TEST_F(FileCommands, SaveTGAWritesTheImageAndNamesTheNewFile)
{
    auto img = OpenPattern(9, 7, 24);
    Fake().next_path = Path("copie.tga");
    Pick("&Fichier/&Enregistrer sous/Targa &TGA");
    ASSERT_EQ(Fake().chooser_titles.back(), "Enregistrer sous TGA");
    EXPECT_EQ(Fake().chooser_patterns.back(), "*.{tga}");
    EXPECT_TRUE(Fake().alerts.empty());
    EXPECT_TRUE(SamePixels(LoadTGA(Path("copie.tga")).get(), img.get()));
    EXPECT_EQ(StatusText(), "copie.tga (9x7 24bpp)");
    EXPECT_STREQ(ui->box_histos->GetImagePath(), Path("copie.tga").c_str());
}

TEST_F(FileCommands, SaveBMPFromTheToolBarWritesUnderTheExactNameTyped)
{
    OpenPattern(9, 7, 8);
    Fake().next_path = Path("sans_extension");
    ui->bt_bmp->do_callback();
    EXPECT_EQ(Fake().chooser_titles.back(), "Enregistrer sous BMP");
    EXPECT_EQ(Fake().chooser_patterns.back(), "*.{bmp}");
    struct stat st;
    ASSERT_EQ(stat(Path("sans_extension").c_str(), &st), 0);
    // An 8-bit bitmap: 54-byte header, 1024-byte palette, rows padded to 12.
    EXPECT_EQ(st.st_size, 54 + 1024 + 12 * 7);
    EXPECT_EQ(StatusText(), "sans_extension (9x7 8bpp)");
}

TEST_F(FileCommands, FailedSaveAlertsAndKeepsTheLastRealFileName)
{
    auto img = OpenPattern(9, 7, 24);
    Fake().next_path = Path("no/such/folder/x.tga");
    ui->bt_tga->do_callback();
    ASSERT_EQ(Fake().alerts.size(), 1u);
    EXPECT_EQ(Fake().alerts[0], "Erreur lors de l'enregistrement de l'image !");
    EXPECT_EQ(StatusText(), "colour.ppm (9x7 24bpp)");
    EXPECT_STREQ(ui->box_histos->GetImagePath(), Path("colour.ppm").c_str());
    EXPECT_TRUE(SamePixels(ui->getImage(), img.get()));
}

TEST_F(FileCommands, CancelledSaveWritesNothing)
{
    OpenPattern(9, 7, 24);
    Pick("&Fichier/&Enregistrer sous/Bitmap &BMP");
    EXPECT_EQ(Fake().chooser_titles.back(), "Enregistrer sous BMP");
    EXPECT_TRUE(Fake().alerts.empty());
    EXPECT_EQ(StatusText(), "colour.ppm (9x7 24bpp)");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(FileCommands, SaveWithoutAnImageDoesNotAskForAFile)
{
    ui->bt_bmp->do_callback();
    ui->bt_tga->do_callback();
    EXPECT_TRUE(Fake().chooser_titles.empty());
}

TEST_F(FileCommands, CloseReturnsToTheNoImageState)
{
    OpenPattern(30, 20, 24);
    Slide(ui->sl_contraste, 40);
    Pick(CMirlanUI::mnu_close);
    EXPECT_EQ(ui->getImage(), nullptr);
    EXPECT_EQ(ui->box_preview->GetImage(), nullptr);
    EXPECT_EQ(ui->box_histos->GetImagePath(), nullptr);
    EXPECT_EQ(StatusText(), " ");
    EXPECT_EQ(ui->sl_contraste->value(), 0);
    EXPECT_FALSE(CMirlanUI::mnu_image->active());
    EXPECT_FALSE(CMirlanUI::mnu_saveas->active());
    EXPECT_FALSE(CMirlanUI::mnu_close->active());
    EXPECT_FALSE(ui->bt_tga->active());
    EXPECT_FALSE(ui->sl_zoom->active());
}

TEST_F(FileCommands, QuitHidesTheMainWindowOnly)
{
    Pick("Ai&de/&Documentation");
    ASSERT_TRUE(ui->win_doc->shown());
    Pick("&Fichier/&Quitter");
    EXPECT_FALSE(ui->win_main->shown());
    EXPECT_TRUE(ui->win_doc->shown());
}

// Quitting, closing and opening another image with the picture unchanged,
// changed, or changed and then saved, and each answer to the question.
TEST_F(FileCommands, ChangedPictureIsNeverDroppedWithoutAsking)
{
    enum Command { kQuitMenu, kWindowClose, kClose, kOpen };
    enum State { kUnchanged, kChanged, kChangedThenSaved };
    enum Answer { kCancel = 0, kSave = 1, kDiscard = 2, kNotAsked = -1 };
    struct Row {
        Command command;
        State state;
        Answer answer;
        const char *save_as;  // typed in the save chooser; "" cancels it
        bool goes_through;    // quits, closes, or shows the other image
        const char *written;  // "BM", "TGA" or null: what save_as holds afterwards
    };
    const Row rows[] = {
        {kQuitMenu, kUnchanged, kNotAsked, "", true, nullptr},
        {kQuitMenu, kChangedThenSaved, kNotAsked, "", true, nullptr},
        {kQuitMenu, kChanged, kCancel, "", false, nullptr},
        {kQuitMenu, kChanged, kDiscard, "", true, nullptr},
        {kQuitMenu, kChanged, kSave, "gardee.tga", true, "TGA"},
        {kQuitMenu, kChanged, kSave, "gardee.BMP", true, "BM"},
        {kQuitMenu, kChanged, kSave, "", false, nullptr},
        {kQuitMenu, kChanged, kSave, "no/such/folder/x.tga", false, nullptr},
        {kWindowClose, kChanged, kCancel, "", false, nullptr},
        {kWindowClose, kChanged, kDiscard, "", true, nullptr},
        {kClose, kUnchanged, kNotAsked, "", true, nullptr},
        {kClose, kChanged, kCancel, "", false, nullptr},
        {kClose, kChanged, kSave, "gardee.tga", true, "TGA"},
        {kOpen, kUnchanged, kNotAsked, "", true, nullptr},
        {kOpen, kChanged, kCancel, "", false, nullptr},
        {kOpen, kChanged, kDiscard, "", true, nullptr},
        {kOpen, kChanged, kSave, "gardee.bmp", true, "BM"},
    };
    auto other = Pattern(5, 4, 24);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row &row = rows[i];
        SCOPED_TRACE("row " + std::to_string(i));
        TearDown();
        SetUp();
        WritePNM(*other, Path("autre.ppm"));
        OpenPattern(8, 6, 24);
        if (row.state != kUnchanged)
            Pick(CMirlanUI::mnu_BW);
        if (row.state == kChangedThenSaved) {
            Fake().next_path = Path("avant.tga");
            Pick("&Fichier/&Enregistrer sous/Targa &TGA");
        }
        auto before = CopyOf(ui->getImage());
        Fake().questions.clear();
        Fake().question_answer = row.answer;
        Fake().next_path.clear();
        if (row.answer == kSave)
            Fake().queued_paths.push_back(*row.save_as ? Path(row.save_as) : "");
        Fake().queued_paths.push_back(Path("autre.ppm"));

        switch (row.command) {
        case kQuitMenu: Pick("&Fichier/&Quitter"); break;
        case kWindowClose: ui->win_main->do_callback(); break;
        case kClose: Pick(CMirlanUI::mnu_close); break;
        case kOpen: Pick(CMirlanUI::mnu_open); break;
        }

        EXPECT_EQ(Fake().questions.size(), row.answer == kNotAsked ? 0u : 1u);
        bool through = false;
        switch (row.command) {
        case kQuitMenu:
        case kWindowClose: through = !ui->win_main->shown(); break;
        case kClose: through = ui->getImage() == nullptr; break;
        case kOpen: through = SamePixels(ui->getImage(), other.get()); break;
        }
        EXPECT_EQ(through, row.goes_through);
        if (!through) {
            EXPECT_TRUE(SamePixels(ui->getImage(), before.get()));
        }
        std::string magic;
        if (FILE *f = *row.save_as ? std::fopen(Path(row.save_as).c_str(), "rb") : nullptr) {
            char bytes[2] = {0, 0};
            magic = std::fread(bytes, 1, 2, f) == 2 && bytes[0] == 'B' && bytes[1] == 'M' ? "BM" : "TGA";
            std::fclose(f);
        }
        EXPECT_EQ(magic, row.written ? row.written : "");
    }
}

}  // namespace
}  // namespace cmdtest
