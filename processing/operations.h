// operations.h: the one table of Mirlan's operations. Each row is an
// operation: its command-line name, its French label, its item in the
// editor's menus, its number in the "Traitements" menu, its parameters, the
// function that runs it, how it is undone and where it carries a pixel.
// The treatment dispatch, the editor's commands and history, mirlan-batch
// and its help, and the tests walk this table.
#ifndef MIRLAN_PROCESSING_OPERATIONS_H
#define MIRLAN_PROCESSING_OPERATIONS_H

#include <cstddef>

#include "processing/ti.h"

namespace mirlan {

// What a parameter is, which gives its range and where the editor reads it:
// an adjustment slider, a component of the current colour, a coordinate of
// the point, the treatment's value, or a side typed in the resize dialog.
enum class ParamKind { kGain, kComponent, kCoordinate, kValue, kSide };

struct Param {
    const char *name;
    ParamKind kind;
};

struct ParamRange {
    double min, max;
    bool integer;
};
ParamRange RangeOf(ParamKind kind);

// How a change is undone: by storing the picture from before it, by running
// the operation again, or by running its inverse (both exact).
enum class Reversal { kStored, kSelf, kInverse };

constexpr int kMaxParams = 6;

struct Operation {
    const char *name;   // command-line name, and the id
    const char *label;  // French name: history, current treatment, help
    const char *menu;   // item text in the editor's menus ('&' marks its key); null: none
    int treatment;      // number in the "Traitements" menu, 0 for the others
    const char *help;   // mirlan-batch's description
    int count;          // parameters used in params
    Param params[kMaxParams];
    // Runs the operation on img with count values, taken in the parameters'
    // order and truncated where whole; std::bad_alloc leaves img untouched.
    void (*run)(CImage *img, const double *values);
    Reversal reversal;
    const char *inverse;  // kInverse: the name of the operation that undoes it
    // When set: whether the reversal is exact on this picture (otherwise the
    // picture is stored).
    bool (*exactOn)(const CImage &before);
    // When set: where pixel (x, y) of a w x h picture goes.
    void (*carry)(int *x, int *y, int w, int h);
    bool internal;  // only undoes another operation: not offered to users
};

// value truncated toward zero to an int; saturated out of range, NaN gives 0.
int TruncToInt(double value);

// What the rows call beyond processing/ti.h (operations.cpp).
namespace ops {
inline int T(double v) { return TruncToInt(v); }
sRGB Colour(const double *v);
void BlackAndWhite(CImage *img, const double *);
void Adjustments(CImage *img, const double *v);
bool IsGrey(const CImage &img);
void TurnedRight(int *x, int *y, int w, int h);
void TurnedLeft(int *x, int *y, int w, int h);
void HalfTurned(int *x, int *y, int w, int h);
void RowsReversed(int *x, int *y, int w, int h);
void RowsMirrored(int *x, int *y, int w, int h);

constexpr Param G(const char *name) { return Param{name, ParamKind::kGain}; }
constexpr Param C(const char *name) { return Param{name, ParamKind::kComponent}; }
constexpr Param kX = {"X", ParamKind::kCoordinate}, kY = {"Y", ParamKind::kCoordinate};
constexpr Param kValue = {"VALEUR", ParamKind::kValue};

#define NO_ARGS CImage *img, const double *
#define ARGS CImage *img, const double *v
constexpr Reversal kStored = Reversal::kStored, kSelf = Reversal::kSelf, kInverse = Reversal::kInverse;

inline constexpr Operation kTable[] = {
    {"luminosite", "Luminosité", nullptr, 0,
     "gamma G et gains rouge R, vert V, bleu B (seul G agit sur une image grise)", 4,
     {G("G"), G("R"), G("V"), G("B")},
     [](ARGS) { CTi::Luminosite(img, T(v[0]), T(v[1]), T(v[2]), T(v[3])); }, kStored, nullptr, nullptr, nullptr, false},
    {"contraste", "Contraste", nullptr, 0, "contraste", 1, {G("C")},
     [](ARGS) { CTi::Contraste(img, T(v[0])); }, kStored, nullptr, nullptr, nullptr, false},
    {"saturation", "Saturation", nullptr, 0, "saturation (sans effet sur une image grise)", 1, {G("S")},
     [](ARGS) { CTi::Saturation(img, T(v[0])); }, kStored, nullptr, nullptr, nullptr, false},
    {"reglages", "Réglages", "&Appliquer à l'image", 0,
     "les six réglages appliqués ensemble : luminosité, contraste puis saturation", 6,
     {G("G"), G("R"), G("V"), G("B"), G("C"), G("S")}, Adjustments, kStored, nullptr, nullptr, nullptr, false},
    {"noiretblanc", "Noir et blanc", "Noir et &Blanc", 0, "noir et blanc : niveaux de gris puis seuil fixe à 5", 0,
     {}, BlackAndWhite, kStored, nullptr, nullptr, nullptr, false},
    {"niveauxgris", "Niveaux de gris", "Niveaux de &gris", 0, "niveaux de gris (sans effet sur une image grise)", 0,
     {}, [](NO_ARGS) { CTi::NiveauxGris(img); }, kStored, nullptr, nullptr, nullptr, false},
    {"couleursrvb", "Couleurs RVB", "Couleurs &RVB", 0,
     "couleurs RVB d'une image grise (sans effet sur une image couleur)", 0, {},
     [](NO_ARGS) { CTi::CouleursRVB(img); }, kInverse, "premiercanal", IsGrey, nullptr, false},
    {"premiercanal", "Premier canal", nullptr, 0, "le premier canal d'une image couleur, en gris", 0, {},
     [](NO_ARGS) { CTi::PremierCanal(img); }, kStored, nullptr, nullptr, nullptr, true},
    {"rot180", "Rotation 180°", "&180°", 0, "rotation de 180°", 0, {}, [](NO_ARGS) { CTi::Rot180(img); }, kSelf,
     nullptr, nullptr, HalfTurned, false},
    {"rot90h", "Rotation 90° horaire", "&90° horaire", 0, "rotation de 90° horaire", 0, {},
     [](NO_ARGS) { CTi::Rot90h(img); }, kInverse, "rot90a", nullptr, TurnedRight, false},
    {"rot90a", "Rotation 90° antihoraire", "9&0° antihoraire", 0, "rotation de 90° anti-horaire", 0, {},
     [](NO_ARGS) { CTi::Rot90a(img); }, kInverse, "rot90h", nullptr, TurnedLeft, false},
    {"symetriev", "Symétrie d'axe verticale", "Symétrie d'axe &verticale", 0,
     "symétrie d'axe vertical : ordre des lignes inversé (haut et bas échangés)", 0, {},
     [](NO_ARGS) { CTi::SymetrieV(img); }, kSelf, nullptr, nullptr, RowsReversed, false},
    {"symetrieh", "Symétrie d'axe horizontale", "Symétrie d'axe &horizontale", 0,
     "symétrie d'axe horizontal : chaque ligne inversée (gauche et droite échangées)", 0, {},
     [](NO_ARGS) { CTi::SymetrieH(img); }, kSelf, nullptr, nullptr, RowsMirrored, false},
    {"redim", "Taille de l'image", nullptr, 0, "redimensionne à L x H pixels (au plus proche voisin)", 2,
     {{"L", ParamKind::kSide}, {"H", ParamKind::kSide}},
     [](ARGS) { CTi::Redimensionne(img, T(v[0]), T(v[1])); }, kStored, nullptr, nullptr, nullptr, false},
    {"negatif", "Négatif", "Négatif", 1, "négatif", 0, {}, [](NO_ARGS) { CTi::Negatif(img); }, kSelf, nullptr,
     nullptr, nullptr, false},
    {"distance4", "Distance (4 connexité) fond/point", "Distance (4 connexité) fond/point ", 2,
     "distance (4 connexité) au point X Y des pixels de la couleur R V B", 6,
     {C("R"), C("V"), C("B"), kX, kY, kValue},
     [](ARGS) { CTi::Distance4Point(img, Colour(v), T(v[3]), T(v[4]), static_cast<float>(v[5])); }, kStored,
     nullptr, nullptr, nullptr, false},
    {"distance8", "Distance (8 connexité) fond/point", "Distance (8 connexité) fond/point ", 3,
     "distance (8 connexité) au point X Y des pixels de la couleur R V B", 6,
     {C("R"), C("V"), C("B"), kX, kY, kValue},
     [](ARGS) { CTi::Distance8Point(img, Colour(v), T(v[3]), T(v[4]), static_cast<float>(v[5])); }, kStored,
     nullptr, nullptr, nullptr, false},
    {"dentsdescie", "Dents de scie", "Dents de scie", 4, "dents de scie", 0, {},
     [](NO_ARGS) { CTi::DentsDeScie(img); }, kStored, nullptr, nullptr, nullptr, false},
    {"seuillagealeatoire", "Seuillage aléatoire", "Seuillage aléatoire", 5, "seuillage aléatoire", 0, {},
     [](NO_ARGS) { CTi::SeuillageAl(img); }, kStored, nullptr, nullptr, nullptr, false},
    {"seuillagefixe", "Seuillage fixe", "Seuillage fixe", 6, "seuillage fixe de valeur VALEUR", 1, {kValue},
     [](ARGS) { CTi::SeuillageFixe(img, static_cast<float>(v[0])); }, kStored, nullptr, nullptr, nullptr, false},
    {"egalisation", "Egalisation d'histogramme", "Egalisation ", 7, "égalisation d'histogramme", 0, {},
     [](NO_ARGS) { CTi::EgalHisto(img); }, kStored, nullptr, nullptr, nullptr, false},
    {"etirement", "Etirement d'histogramme", "Etirement ", 8, "étirement d'histogramme", 0, {},
     [](NO_ARGS) { CTi::EtirementHisto(img); }, kStored, nullptr, nullptr, nullptr, false},
};


#undef NO_ARGS
#undef ARGS
}  // namespace ops

// The operation of that name, or null; usable in constant initialisers
// (the menus are built before any code runs).
constexpr const Operation *FindOperation(const char *name)
{
    for (const Operation &op : ops::kTable) {
        int i = 0;
        while (op.name[i] && op.name[i] == name[i])
            ++i;
        if (op.name[i] == name[i])
            return &op;
    }
    return nullptr;
}
struct OperationTable {
    const Operation *first, *last;
    const Operation *begin() const { return first; }
    const Operation *end() const { return last; }
};

// Every operation, in the order mirlan-batch's help lists them.
OperationTable Operations();
// The treatment of that number (1 to 8), or null.
const Operation *FindTreatment(int number);
// The operation that undoes op when it is reversible, else null.
const Operation *InverseOf(const Operation &op);

}  // namespace mirlan

#endif
