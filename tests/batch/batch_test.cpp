// batch_test.cpp: the real mirlan-batch, run in a child without a display:
// it writes the very bytes the editor saves after the same steps, and
// answers faulty command lines, unreadable files, short memory, a full
// disk and a missing folder with its exit status and a message, leaving an
// existing output as it was.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>

#include "batch/editor_fixture.h"
#include "image/formats.h"
#include "version.h"

namespace cmdtest {
namespace {

std::string Bytes(const std::string &path)
{
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

// Runs mirlan-batch with the words of line in dir, under a limit when
// resource is not -1: its exit status and everything it printed.
std::pair<int, std::string> RunBatch(const std::string &dir, const std::string &line, int resource = -1,
                                     rlim_t bytes = 0)
{
    std::string program = MIRLAN_BINARY_DIR "/batch/mirlan-batch", words = line;
    std::vector<char *> argv = {program.data()};
    for (char *w = strtok(words.data(), " "); w; w = strtok(nullptr, " "))
        argv.push_back(w);
    argv.push_back(nullptr);
    const std::string log = dir + "/batch.log";
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit limit = {bytes, bytes};
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        unsetenv("DISPLAY");
        if (dup2(fd, 1) == 1 && dup2(fd, 2) == 2 && chdir(dir.c_str()) == 0 &&
            (resource < 0 || setrlimit(resource, &limit) == 0))
            execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Bytes(log)};
}

class Batch : public CommandsTest {
public:
    using CommandsTest::Pick;
    void PickFor(int bpp, const char *path)
    {
        if (ui->getImage()->bpp == bpp)
            Pick(path);
    }
    // Luminosity, red, green, blue, contrast and saturation, then applied.
    void Adjust(std::array<int, 6> values)
    {
        Fl_Valuator *s[] = {ui->sl_lum, ui->sl_rouge, ui->sl_vert, ui->sl_bleu, ui->sl_contraste, ui->sl_saturation};
        for (int i = 0; i < 6; ++i)
            Slide(s[i], values[i]);
        Pick("&Image/Ré&glages/&Appliquer à l'image");
    }
    // Picks a treatment, sets its colour, value and point (a press on the
    // view at zoom 100) and applies it.
    void Treat(const char *item, double value = 2, int x = 1, int y = 1)
    {
        Pick((std::string("&Traitements/") + item).c_str());
        ui->sl_R->value(43), ui->sl_G->value(0), ui->sl_B->value(255), ui->ct_valeur->value(value);
        Fl::e_x = ui->box_image->x() + x;
        Fl::e_y = ui->box_image->y() + y;
        ui->box_image->handle(FL_PUSH);
        Pick("&Traitements/Appliquer traitement courant");
    }
    void Resize(int w, int h)
    {
        Pick("&Image/&Taille de l'image...");
        ui->in_largeur->value(w);
        ui->in_hauteur->value(h);
        ui->bt_applyTaille->do_callback();
    }
};

TEST_F(Batch, WritesTheEditorsBytesForEveryOperation)
{
    const struct { const char *words; std::function<void(Batch &)> editor; } cases[] = {
        {"luminosite 40 -30 20 -10", [](Batch &t) { t.Adjust({40, -30, 20, -10, 0, 0}); }},
        {"contraste -100", [](Batch &t) { t.Adjust({0, 0, 0, 0, -100, 0}); }},
        {"saturation 80", [](Batch &t) { t.Adjust({0, 0, 0, 0, 0, 80}); }},
        {"reglages 25 10 -15 5 -40 -60", [](Batch &t) { t.Adjust({25, 10, -15, 5, -40, -60}); }},
        {"noiretblanc", [](Batch &t) { t.Pick("&Image/Noir et &Blanc"); }},
        // Greyed out in the editor for a picture already of that kind, which
        // mirlan-batch leaves as it is.
        {"niveauxgris", [](Batch &t) { t.PickFor(24, "&Image/Niveaux de &gris"); }},
        {"couleursrvb", [](Batch &t) { t.PickFor(8, "&Image/Couleurs &RVB"); }},
        {"rot180", [](Batch &t) { t.Pick("&Image/R&otation/&180°"); }},
        {"rot90h", [](Batch &t) { t.Pick("&Image/R&otation/&90° horaire"); }},
        {"rot90a", [](Batch &t) { t.Pick("&Image/R&otation/9&0° antihoraire"); }},
        {"symetriev", [](Batch &t) { t.Pick("&Image/R&otation/Symétrie d'axe &verticale"); }},
        {"symetrieh", [](Batch &t) { t.Pick("&Image/R&otation/Symétrie d'axe &horizontale"); }},
        {"redim 61 17", [](Batch &t) { t.Resize(61, 17); }},
        {"negatif", [](Batch &t) { t.Treat("Négatif"); }},
        {"distance4 43 0 255 7 11 2.5",
         [](Batch &t) { t.Treat("Distances/Distance (4 connexité) fond/point ", 2.5, 7, 11); }},
        {"distance8 43 0 255 30 2 0.7",
         [](Batch &t) { t.Treat("Distances/Distance (8 connexité) fond/point ", 0.7, 30, 2); }},
        {"dentsdescie", [](Batch &t) { t.Treat("Dents de scie", 4, 3, 3); }},
        {"seuillagefixe 0.1", [](Batch &t) { t.Treat("Seuillage fixe", 0.1); }},
        // Seeded with the clock's second: a pair straddling one runs again.
        {"seuillagealeatoire", [](Batch &t) { t.Treat("Seuillage aléatoire"); }},
        {"egalisation", [](Batch &t) { t.Treat("Histogrammes/Egalisation ", 6, 4, 5); }},
        {"etirement", [](Batch &t) { t.Treat("Histogrammes/Etirement ", 6, 4, 5); }},
        {"rot90h contraste 30 redim 50 20 negatif symetrieh", [](Batch &t) {
             t.Pick("&Image/R&otation/&90° horaire"), t.Adjust({0, 0, 0, 0, 30, 0}), t.Resize(50, 20);
             t.Treat("Négatif"), t.Pick("&Image/R&otation/Symétrie d'axe &horizontale");
         }},
    };
    const struct { int bpp; const char *input, *output; } files[] = {
        {24, "in.ppm", "out.tga"}, {24, "in.ppm", "out.bmp"}, {8, "in.pgm", "out.bmp"}, {8, "in.pgm", "out.tga"},
        {24, "in.ppm", "out.png"}, {8, "in.pgm", "out.jpg"}};
    for (const auto &f : files) {
        WritePNM(*Pattern(37, 23, f.bpp), Path(f.input));
        const std::string editor = Path(std::string("editor") + (f.output + 3));
        const std::string saveItem = std::string("&Fichier/&Enregistrer sous/") + mirlan::WritableFormatOfName(f.output)->saveLabel;
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.words) + " from " + f.input + " to " + f.output);
            for (std::time_t start = 0; start != std::time(nullptr);) {
                start = std::time(nullptr);
                Fake().paths = {Path(f.input)};
                Pick("&Fichier/&Ouvrir");
                ASSERT_EQ(ui->getImage()->bpp, f.bpp);
                c.editor(*this);
                std::remove(editor.c_str());  // saved anew, without the question over the previous case's
                Fake().paths = {editor};
                Pick(saveItem.c_str());
                const auto run = RunBatch(dir, std::string(f.input) + " " + f.output + " " + c.words);
                ASSERT_EQ(run.first, 0) << run.second;
            }
            EXPECT_TRUE(Bytes(editor) == Bytes(Path(f.output)));
        }
    }
}

// Every answer of the program: help (0), faulty command lines (2), and runs
// that fail once started (1), which leave the outputs there as they were.
// Limits are set in the child.
TEST_F(Batch, ExitStatusAndMessage)
{
    const struct { const char *line; int status; const char *message; int resource = -1; rlim_t bytes = 0; }
    cases[] = {
        {"--help", 0, "Usage : mirlan-batch [--quality N] ENTRÉE SORTIE"},
        {"--version", 0, "mirlan-batch " MIRLAN_VERSION " (build " MIRLAN_BUILD ")"},
        {"in.ppm out.tga luminosite -100 100 -100 100 contraste 100 seuillagefixe 0.1 seuillagefixe 10 "
         "redim 1 32767 distance8 0 255 0 0 32766 10", 0, ""},
        {"in.ppm", 2, "il faut une image d'entrée et une image de sortie"},
        {"in.ppm out.gif", 2, "la sortie « out.gif » doit finir par .png, .jpg, .jpeg, .bmp, .tga"},
        {"in.ppm out.ppm", 2, "la sortie « out.ppm » doit finir par"},
        {"--quality 0 in.ppm out.jpg", 2, "la qualité JPEG « 0 » doit être un entier de 1 à 100"},
        {"in.ppm out.jpg --quality 101", 2, "« 101 »"},
        {"in.ppm out.jpg --quality", 2, "la qualité JPEG «  » doit"},
        {"in.ppm out.jpg --quality 9x", 2, "« 9x »"},
        {"in.ppm out.tga flou", 2, "opération inconnue « flou »"},
        {"in.ppm out.tga luminosite 10 20 30", 2, "« luminosite » attend B : un entier de -100 à 100"},
        {"in.ppm out.tga luminosite 10 20 30 101", 2, "B = « 101 » n'est pas un entier de -100 à 100"},
        {"in.ppm out.tga contraste 0x10", 2, "C = « 0x10 »"},
        {"in.ppm out.tga seuillagefixe 0.09", 2, "« 0.09 » n'est pas un nombre de 0.1 à 10"},
        {"in.ppm out.tga seuillagefixe 10.01", 2, "« 10.01 »"},
        {"in.ppm out.tga distance4 256 0 0 1 1 2", 2, "R = « 256 » n'est pas un entier de 0 à 255"},
        {"in.ppm out.tga distance4 0 0 0 32767 0 1", 2, "X = « 32767 »"},
        {"in.ppm out.tga redim 32768 10", 2, "L = « 32768 » n'est pas un entier de 1 à 32767"},
        {"in.ppm out.tga redim 10 0", 2, "H = « 0 »"},
        {"absent.ppm out.tga", 1, "impossible de lire « absent.ppm » : fichier absent ou illisible"},
        {"text.ppm out.tga", 1, "« text.ppm » : fichier PNM endommagé ou incomplet"},
        {"unknown.ppm out.tga", 1, "« unknown.ppm » : format non reconnu"},
        {"in.ppm out.tga redim 3 3 distance4 0 0 0 3 0 2", 1,
         "« distance4 » : le point (3, 0) est hors de l'image de 3 x 3 pixels"},
        {"in.ppm out.tga redim 3 3 distance8 0 0 0 0 3 2", 1, "le point (0, 3) est hors de l'image"},
        {"in.ppm no/such/out.png", 1, "impossible d'écrire « no/such/out.png » : Dossier introuvable."},
        {"in.ppm no/such/out.jpg", 1, "« no/such/out.jpg » : Dossier introuvable."},
        {"grey.tga out.tga", 1, "impossible d'écrire « out.tga » : Fichier trop grand", RLIMIT_FSIZE, 64 * 1024},
#if !defined(__SANITIZE_ADDRESS__)  // its shadow memory needs more address space than any limit
        {"huge.tga out.tga", 1, "mémoire insuffisante", RLIMIT_AS, rlim_t(512) << 20},
        // 24 MB of grey fits in colour, not turned as well.
        {"grey.tga out.tga couleursrvb rot90h", 1, "mémoire insuffisante", RLIMIT_AS, rlim_t(130) << 20},
#endif
    };
    WritePNM(*Pattern(5, 4, 24), Path("in.ppm"));
    std::ofstream(Path("text.ppm")) << "P6\n5 4\n255\nshort";
    std::ofstream(Path("unknown.ppm")) << "just text";
    // 32767 x 32767 colour pixels declared, one given.
    std::ofstream(Path("huge.tga")).write("\0\0\2\0\0\0\0\0\0\0\0\0\xff\x7f\xff\x7f\x18\x20\1\2\3", 21);
    ASSERT_EQ(CImage::SaveTGA(Pattern(6000, 4000, 8).get(), Path("grey.tga").c_str()), CImage::kOk);
    for (const auto &c : cases) {
        for (const char *name : {"out.tga", "out.bmp", "out.jpg"})
            std::ofstream(Path(name)) << "earlier";
        const auto run = RunBatch(dir, c.line, c.resource, c.bytes);
        EXPECT_EQ(run.first, c.status) << c.line;
        EXPECT_TRUE(run.second.find(c.message) != std::string::npos &&
                    (c.status == 0 || run.second.rfind("mirlan-batch : ", 0) == 0))
            << c.line << ": " << run.second;
        for (const char *name : {"out.tga", "out.bmp", "out.jpg"})
            EXPECT_TRUE(c.status == 0 || Bytes(Path(name)) == "earlier") << c.line << name;
    }
}

}  // namespace
}  // namespace cmdtest
