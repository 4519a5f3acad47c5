// same_bytes_as_editor_test.cpp: every operation of mirlan-batch against the
// editor's command of the same name. The editor (the real application
// object, in process) opens a file, runs the command as a click would and
// saves through its "Enregistrer sous" menu; mirlan-batch runs on the same
// file; the two saved files must be the same bytes.
#include <ctime>
#include <functional>

#include "batch/editor_fixture.h"
#include "batch_test_util.h"

namespace cmdtest {
namespace {

using batchtest::FileBytes;
using batchtest::RunBatch;
using batchtest::Words;

// One operation: its mirlan-batch words, and the same steps in the editor.
struct Case {
    const char *words;
    std::function<void(CommandsTest &)> editor;
};

const char kApplyAdjustments[] = "&Image/Ré&glages/&Appliquer à l'image";
const char kApplyTreatment[] = "&Traitements/Appliquer traitement courant";

class SameBytesAsEditor : public CommandsTest {
protected:
    // Places the treatment point by a mouse press on the view (zoom 100).
    void PressAt(int x, int y)
    {
        Fl::e_x = ui->box_image->x() + x;
        Fl::e_y = ui->box_image->y() + y;
        ui->box_image->handle(FL_PUSH);
    }

    void Adjust(int lum, int r, int g, int b, int contrast, int saturation)
    {
        Slide(ui->sl_lum, lum);
        Slide(ui->sl_rouge, r);
        Slide(ui->sl_vert, g);
        Slide(ui->sl_bleu, b);
        Slide(ui->sl_contraste, contrast);
        Slide(ui->sl_saturation, saturation);
        Pick(kApplyAdjustments);
    }

    void Treat(const char *selection, int r, int g, int b, int x, int y, double value)
    {
        Pick(selection);
        ui->sl_R->value(r);
        ui->sl_G->value(g);
        ui->sl_B->value(b);
        ui->ct_valeur->value(value);
        PressAt(x, y);
        Pick(kApplyTreatment);
    }

    void Resize(int w, int h)
    {
        Pick("&Image/&Taille de l'image...");
        ui->in_largeur->value(w);
        ui->in_hauteur->value(h);
        ui->bt_applyTaille->do_callback();
    }

    // Saves the editor's image under name through the menu.
    void EditorSave(const std::string &name)
    {
        Fake().next_path = Path(name);
        Pick(name.substr(name.size() - 3) == "bmp" ? "&Fichier/&Enregistrer sous/Bitmap &BMP"
                                                   : "&Fichier/&Enregistrer sous/Targa &TGA");
        Fake().next_path.clear();
    }

    // Opens a w × h pattern at bpp in the editor, runs c there and in
    // mirlan-batch, and compares the two files saved as ext.
    void Compare(const Case &c, int w, int h, int bpp, const std::string &ext)
    {
        SCOPED_TRACE(std::string(c.words) + " on " + std::to_string(bpp) + " bits, ." + ext);
        const std::string input = bpp == 8 ? "in.pgm" : "in.ppm";
        Open(*Pattern(w, h, bpp), input);
        c.editor(*this);
        EditorSave("editor." + ext);
        std::vector<std::string> args = {Path(input), Path("batch." + ext)};
        for (const std::string &word : Words(c.words))
            args.push_back(word);
        const batchtest::Outcome run = RunBatch(args, dir);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string editor = FileBytes(Path("editor." + ext));
        ASSERT_FALSE(editor.empty());
        EXPECT_TRUE(editor == FileBytes(Path("batch." + ext)));
    }

    static std::vector<Case> Cases();
};

std::vector<Case> SameBytesAsEditor::Cases()
{
    using T = CommandsTest;
    auto self = [](T &t) -> SameBytesAsEditor & { return static_cast<SameBytesAsEditor &>(t); };
    return {
        {"", [](T &) {}},
        {"luminosite 40 -30 20 -10", [=](T &t) { self(t).Adjust(40, -30, 20, -10, 0, 0); }},
        {"luminosite -70 0 0 0", [=](T &t) { self(t).Adjust(-70, 0, 0, 0, 0, 0); }},
        {"contraste 55", [=](T &t) { self(t).Adjust(0, 0, 0, 0, 55, 0); }},
        {"contraste -100", [=](T &t) { self(t).Adjust(0, 0, 0, 0, -100, 0); }},
        {"saturation 80", [=](T &t) { self(t).Adjust(0, 0, 0, 0, 0, 80); }},
        {"reglages 25 10 -15 5 -40 -60", [=](T &t) { self(t).Adjust(25, 10, -15, 5, -40, -60); }},
        {"noiretblanc", [=](T &t) { self(t).Pick("&Image/Noir et &Blanc"); }},
        {"niveauxgris", [=](T &t) { self(t).Pick("&Image/Niveaux de &gris"); }},
        {"couleursrvb", [=](T &t) { self(t).Pick("&Image/Couleurs &RVB"); }},
        {"rot180", [=](T &t) { self(t).Pick("&Image/R&otation/&180°"); }},
        {"rot90h", [=](T &t) { self(t).Pick("&Image/R&otation/&90° horaire"); }},
        {"rot90a", [=](T &t) { self(t).Pick("&Image/R&otation/9&0° antihoraire"); }},
        {"symetriev", [=](T &t) { self(t).Pick("&Image/R&otation/Symétrie d'axe &verticale"); }},
        {"symetrieh", [=](T &t) { self(t).Pick("&Image/R&otation/Symétrie d'axe &horizontale"); }},
        {"redim 61 17", [=](T &t) { self(t).Resize(61, 17); }},
        {"redim 5 40", [=](T &t) { self(t).Resize(5, 40); }},
        {"negatif", [=](T &t) { self(t).Treat("&Traitements/Négatif", 0, 0, 0, 1, 1, 2); }},
        {"distance4 43 0 255 7 11 2.5",
         [=](T &t) { self(t).Treat("&Traitements/Distances/Distance (4 connexité) fond/point ", 43, 0, 255, 7, 11, 2.5); }},
        {"distance8 43 0 255 30 2 0.7",
         [=](T &t) { self(t).Treat("&Traitements/Distances/Distance (8 connexité) fond/point ", 43, 0, 255, 30, 2, 0.7); }},
        {"distance4 0 0 0 0 0 10",
         [=](T &t) { self(t).Treat("&Traitements/Distances/Distance (4 connexité) fond/point ", 0, 0, 0, 0, 0, 10); }},
        {"dentsdescie", [=](T &t) { self(t).Treat("&Traitements/Dents de scie", 9, 9, 9, 3, 3, 4); }},
        {"seuillagefixe 3.7", [=](T &t) { self(t).Treat("&Traitements/Seuillage fixe", 0, 0, 0, 2, 2, 3.7); }},
        {"seuillagefixe 0.1", [=](T &t) { self(t).Treat("&Traitements/Seuillage fixe", 0, 0, 0, 2, 2, 0.1); }},
        {"egalisation", [=](T &t) { self(t).Treat("&Traitements/Histogrammes/Egalisation ", 1, 2, 3, 4, 5, 6); }},
        {"etirement", [=](T &t) { self(t).Treat("&Traitements/Histogrammes/Etirement ", 1, 2, 3, 4, 5, 6); }},
        {"rot90h contraste 30 redim 50 20 negatif symetrieh",
         [=](T &t) {
             self(t).Pick("&Image/R&otation/&90° horaire");
             self(t).Adjust(0, 0, 0, 0, 30, 0);
             self(t).Resize(50, 20);
             self(t).Treat("&Traitements/Négatif", 0, 0, 0, 1, 1, 2);
             self(t).Pick("&Image/R&otation/Symétrie d'axe &horizontale");
         }},
    };
}

TEST_F(SameBytesAsEditor, EveryOperationOnAColourImageSavedAsTga)
{
    for (const Case &c : Cases())
        Compare(c, 37, 23, 24, "tga");
}

TEST_F(SameBytesAsEditor, EveryOperationOnAGreyImageSavedAsTga)
{
    for (const Case &c : Cases())
        Compare(c, 37, 23, 8, "tga");
}

TEST_F(SameBytesAsEditor, EveryOperationSavedAsBmp)
{
    for (const Case &c : Cases()) {
        Compare(c, 31, 19, 24, "bmp");
        Compare(c, 31, 19, 8, "bmp");
    }
}

// The random threshold draws from a sequence seeded with the clock's second:
// the two programs agree when they run within the same second, so a pair
// that straddles a second is run again.
TEST_F(SameBytesAsEditor, RandomThresholdWithinTheSameSecond)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        Open(*Pattern(64, 48, 24), "in.ppm");
        Treat("&Traitements/Seuillage aléatoire", 0, 0, 0, 1, 1, 2);
        EditorSave("editor.tga");
        const batchtest::Outcome run = RunBatch({Path("in.ppm"), Path("batch.tga"), "seuillagealeatoire"}, dir);
        if (std::time(nullptr) != before)
            continue;
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(FileBytes(Path("editor.tga")) == FileBytes(Path("batch.tga")));
        return;
    }
    GTEST_SKIP() << "every attempt straddled a second";
}

// TGA and BMP inputs go through the same readers in both programs.
TEST_F(SameBytesAsEditor, TgaAndBmpInputsReadAsTheEditorReadsThem)
{
    auto img = Pattern(21, 14, 24);
    ASSERT_EQ(CImage::SaveTGA(img.get(), Path("in.tga").c_str()), CImage::kOk);
    ASSERT_EQ(CImage::SaveBMP(img.get(), Path("in.bmp").c_str()), CImage::kOk);
    for (const char *input : {"in.tga", "in.bmp"}) {
        SCOPED_TRACE(input);
        Fake().next_path = Path(input);
        Pick(CMirlanUI::mnu_open);
        ASSERT_NE(ui->getImage(), nullptr);
        Pick("&Image/R&otation/9&0° antihoraire");
        EditorSave("editor.tga");
        const batchtest::Outcome run = RunBatch({Path(input), Path("batch.tga"), "rot90a"}, dir);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(FileBytes(Path("editor.tga")) == FileBytes(Path("batch.tga")));
    }
}

}  // namespace
}  // namespace cmdtest
