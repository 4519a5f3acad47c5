// operations.cpp: the table of mirlan-batch's operations, their reading from
// the command line and their run. Each operation makes exactly the engine
// calls of the editor's command of the same name, with the numbers that the
// editor's controls would hold.
#include "batch/operations.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/formats.h"
#include "image/image.h"
#include "processing/ti.h"

namespace batch {

namespace {

// Treatment ids of the "Traitements" menu.
enum Treatment { kNegatif = 1, kDistance4, kDistance8, kDentsDeScie, kSeuillageAl, kSeuillageFixe,
                 kEgalisation, kEtirement };

// What the treatments that take no colour, point or value are given: the
// engine ignores it, whatever the editor's controls hold.
const sRGB kNoColour = {0, 0, 0};
const float kNoValue = 2.0f;

int Int(double v) { return static_cast<int>(v); }

bool Treat(CImage *img, int id)
{
    CTi::Traitement(img, id, kNoColour, img->width / 2, img->height / 2, kNoValue);
    return true;
}

// The distance maps: colour, point in image pixels, value. The editor's
// point is always on the picture, so one outside it is an error here.
bool Distance(CImage *img, int id, const double *v, std::string &error)
{
    const int x = Int(v[3]), y = Int(v[4]);
    if (x >= img->width || y >= img->height) {
        error = "le point (" + std::to_string(x) + ", " + std::to_string(y) +
                ") est hors de l'image de " + std::to_string(img->width) + " x " +
                std::to_string(img->height) + " pixels";
        return false;
    }
    CTi::Traitement(img, id, sRGB{Int(v[0]), Int(v[1]), Int(v[2])}, x, y, static_cast<float>(v[5]));
    return true;
}

// "Noir et Blanc": grey levels, then the fixed threshold at 5.
void BlackAndWhite(CImage *img)
{
    CTi::NiveauxGris(img);
    CTi::SeuillageFixe(img, 5.0f);
}

Parameter Gain(const char *name) { return Parameter{name, -100, 100, true}; }
Parameter Component(const char *name) { return Parameter{name, 0, 255, true}; }
const Parameter kValue = {"VALEUR", 0.1, 10, false};
Parameter Side(const char *name) { return Parameter{name, 1, 5999, true}; }
Parameter Coordinate(const char *name) { return Parameter{name, 0, 32766, true}; }

#define NO_ARGS CImage *img, const double *, std::string &
#define ARGS CImage *img, const double *v, std::string &

const std::vector<Operation> kOperations = {
    {"luminosite", {Gain("G"), Gain("R"), Gain("V"), Gain("B")},
     "gamma G et gains rouge R, vert V, bleu B (seul G agit sur une image grise)",
     [](ARGS) { CTi::Luminosite(img, Int(v[0]), Int(v[1]), Int(v[2]), Int(v[3])); return true; }},
    {"contraste", {Gain("C")}, "contraste",
     [](ARGS) { CTi::Contraste(img, Int(v[0])); return true; }},
    {"saturation", {Gain("S")}, "saturation (sans effet sur une image grise)",
     [](ARGS) { CTi::Saturation(img, Int(v[0])); return true; }},
    {"reglages", {Gain("G"), Gain("R"), Gain("V"), Gain("B"), Gain("C"), Gain("S")},
     "les six réglages appliqués ensemble : luminosité, contraste puis saturation",
     [](ARGS) {
         CTi::Luminosite(img, Int(v[0]), Int(v[1]), Int(v[2]), Int(v[3]));
         CTi::Contraste(img, Int(v[4]));
         CTi::Saturation(img, Int(v[5]));
         return true;
     }},
    {"noiretblanc", {}, "noir et blanc : niveaux de gris puis seuil fixe à 5",
     [](NO_ARGS) { BlackAndWhite(img); return true; }},
    {"niveauxgris", {}, "niveaux de gris (sans effet sur une image grise)",
     [](NO_ARGS) { CTi::NiveauxGris(img); return true; }},
    {"couleursrvb", {}, "couleurs RVB d'une image grise (sans effet sur une image couleur)",
     [](NO_ARGS) { CTi::CouleursRVB(img); return true; }},
    {"rot180", {}, "rotation de 180°", [](NO_ARGS) { CTi::Rot180(img); return true; }},
    {"rot90h", {}, "rotation de 90° horaire", [](NO_ARGS) { CTi::Rot90h(img); return true; }},
    {"rot90a", {}, "rotation de 90° anti-horaire", [](NO_ARGS) { CTi::Rot90a(img); return true; }},
    {"symetriev", {}, "symétrie d'axe vertical : ordre des lignes inversé (haut et bas échangés)",
     [](NO_ARGS) { CTi::SymetrieV(img); return true; }},
    {"symetrieh", {}, "symétrie d'axe horizontal : chaque ligne inversée (gauche et droite échangées)",
     [](NO_ARGS) { CTi::SymetrieH(img); return true; }},
    {"redim", {Side("L"), Side("H")}, "redimensionne à L x H pixels (au plus proche voisin)",
     [](ARGS) { CTi::Redimensionne(img, Int(v[0]), Int(v[1])); return true; }},
    {"negatif", {}, "négatif", [](NO_ARGS) { return Treat(img, kNegatif); }},
    {"distance4",
     {Component("R"), Component("V"), Component("B"), Coordinate("X"), Coordinate("Y"), kValue},
     "distance (4 connexité) au point X Y des pixels de la couleur R V B",
     [](CImage *img, const double *v, std::string &e) { return Distance(img, kDistance4, v, e); }},
    {"distance8",
     {Component("R"), Component("V"), Component("B"), Coordinate("X"), Coordinate("Y"), kValue},
     "distance (8 connexité) au point X Y des pixels de la couleur R V B",
     [](CImage *img, const double *v, std::string &e) { return Distance(img, kDistance8, v, e); }},
    {"dentsdescie", {}, "dents de scie", [](NO_ARGS) { return Treat(img, kDentsDeScie); }},
    {"seuillagealeatoire", {}, "seuillage aléatoire", [](NO_ARGS) { return Treat(img, kSeuillageAl); }},
    {"seuillagefixe", {kValue}, "seuillage fixe de valeur VALEUR",
     [](ARGS) {
         CTi::Traitement(img, kSeuillageFixe, kNoColour, img->width / 2, img->height / 2,
                         static_cast<float>(v[0]));
         return true;
     }},
    {"egalisation", {}, "égalisation d'histogramme", [](NO_ARGS) { return Treat(img, kEgalisation); }},
    {"etirement", {}, "étirement d'histogramme", [](NO_ARGS) { return Treat(img, kEtirement); }},
};

#undef NO_ARGS
#undef ARGS

const Operation *Find(const char *name)
{
    for (const Operation &op : kOperations)
        if (std::strcmp(op.name, name) == 0)
            return &op;
    return nullptr;
}

// A whole decimal number (an integer when the parameter asks for one) within
// the parameter's range.
bool ReadNumber(const char *text, const Parameter &p, double &value)
{
    char *end = nullptr;
    errno = 0;
    if (p.integer) {
        const long n = std::strtol(text, &end, 10);
        value = static_cast<double>(n);
    } else {
        value = std::strtod(text, &end);
    }
    return end != text && *end == '\0' && errno == 0 && std::isfinite(value) && value >= p.min &&
           value <= p.max;
}

std::string Range(const Parameter &p)
{
    char text[64];
    if (p.integer)
        std::snprintf(text, sizeof text, "un entier de %d à %d", Int(p.min), Int(p.max));
    else
        std::snprintf(text, sizeof text, "un nombre de %g à %g", p.min, p.max);
    return text;
}

}  // namespace

const std::vector<Operation> &Operations() { return kOperations; }

bool ParseSteps(int count, const char *const *args, std::vector<Step> &steps, std::string &error)
{
    steps.clear();
    for (int i = 0; i < count;) {
        const Operation *op = Find(args[i]);
        if (!op) {
            error = std::string("opération inconnue « ") + args[i] + " » (voir --help)";
            return false;
        }
        ++i;
        Step step{op, {}};
        for (const Parameter &p : op->parameters) {
            if (i >= count) {
                error = std::string("« ") + op->name + " » attend " + p.name + " : " + Range(p);
                return false;
            }
            double value;
            if (!ReadNumber(args[i], p, value)) {
                error = std::string("« ") + op->name + " » : " + p.name + " = « " + args[i] +
                        " » n'est pas " + Range(p);
                return false;
            }
            step.values.push_back(value);
            ++i;
        }
        steps.push_back(step);
    }
    return true;
}

bool RunSteps(CImage *img, const std::vector<Step> &steps, std::string &error)
{
    for (const Step &step : steps) {
        std::string why;
        if (!step.operation->run(img, step.values.data(), why)) {
            error = std::string("« ") + step.operation->name + " » : " + why;
            return false;
        }
    }
    return true;
}

void PrintHelp(std::FILE *out)
{
    std::string read, written;
    for (const mirlan::ImageFormat &format : mirlan::Formats()) {
        read += (read.empty() ? "" : ", ") + std::string(format.name);
        for (const std::string &extension : mirlan::Extensions(format))
            if (format.write)
                written += (written.empty() ? "." : ", .") + extension;
    }
    std::fprintf(out,
                 "Usage : mirlan-batch [--quality N] ENTRÉE SORTIE [OPÉRATION [VALEURS]]...\n"
                 "\n"
                 "Ouvre ENTRÉE comme l'éditeur Mirlan, applique les opérations dans l'ordre\n"
                 "donné et enregistre le résultat dans SORTIE, qui n'est remplacé que si tout\n"
                 "a réussi.\n"
                 "\n"
                 "Formats lus (reconnus à leur contenu, quel que soit le nom) :\n"
                 "  %s\n"
                 "Formats écrits (choisis par l'extension de SORTIE) :\n"
                 "  %s\n"
                 "\n"
                 "  --quality N   qualité d'une SORTIE JPEG, de 1 à 100 (90 par défaut)\n"
                 "\n"
                 "Opérations :\n",
                 read.c_str(), written.c_str());
    for (const Operation &op : kOperations) {
        std::string usage = op.name;
        for (const Parameter &p : op.parameters)
            usage += std::string(" ") + p.name;
        std::fprintf(out, "  %-34s %s\n", usage.c_str(), op.help);
    }
    std::fputs("\n"
               "Valeurs : G R V B C S entiers de -100 à 100 (réglages) ; R V B de 0 à 255\n"
               "(couleur courante) ; X Y point en pixels de l'image, (0, 0) en haut à gauche ;\n"
               "VALEUR de 0.1 à 10 ; L H de 1 à 5999.\n"
               "\n"
               "Code de sortie : 0 en cas de succès, 1 si l'image ne peut être lue, traitée\n"
               "ou écrite, 2 si la ligne de commande est incorrecte.\n",
               out);
}

}  // namespace batch
