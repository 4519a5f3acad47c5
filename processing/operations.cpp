// operations.cpp: the table of operations (see operations.h). Each row
// calls the engine's functions of processing/ti.h; compositions ("Noir et
// blanc", the adjustment chain) are written here once.
#include "processing/operations.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>

#include "processing/ti.h"

namespace mirlan {

namespace {

int T(double v) { return TruncToInt(v); }

sRGB Colour(const double *v) { return sRGB{T(v[0]), T(v[1]), T(v[2])}; }

void BlackAndWhite(CImage *img, const double *)
{
    CTi::NiveauxGris(img);
    CTi::SeuillageFixe(img, 5.0f);
}

// The adjustment panel's chain, in its fixed order.
void Adjustments(CImage *img, const double *v)
{
    CTi::Luminosite(img, T(v[0]), T(v[1]), T(v[2]), T(v[3]));
    CTi::Contraste(img, T(v[4]));
    CTi::Saturation(img, T(v[5]));
}

bool IsGrey(const CImage &img) { return img.bpp == 8; }

void TurnedRight(int *x, int *y, int, int h)
{
    const int c = *x;
    *x = h - 1 - *y;
    *y = c;
}
void TurnedLeft(int *x, int *y, int w, int)
{
    const int c = *x;
    *x = *y;
    *y = w - 1 - c;
}
void HalfTurned(int *x, int *y, int w, int h)
{
    *x = w - 1 - *x;
    *y = h - 1 - *y;
}
void RowsReversed(int *, int *y, int, int h) { *y = h - 1 - *y; }
void RowsMirrored(int *x, int *, int w, int) { *x = w - 1 - *x; }

constexpr Param G(const char *name) { return Param{name, ParamKind::kGain}; }
constexpr Param C(const char *name) { return Param{name, ParamKind::kComponent}; }
constexpr Param kX = {"X", ParamKind::kCoordinate}, kY = {"Y", ParamKind::kCoordinate};
constexpr Param kValue = {"VALEUR", ParamKind::kValue};

#define NO_ARGS CImage *img, const double *
#define ARGS CImage *img, const double *v
constexpr Reversal kStored = Reversal::kStored, kSelf = Reversal::kSelf, kInverse = Reversal::kInverse;

const Operation kTable[] = {
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

}  // namespace

ParamRange RangeOf(ParamKind kind)
{
    switch (kind) {
    case ParamKind::kGain: return {-100, 100, true};
    case ParamKind::kComponent: return {0, 255, true};
    case ParamKind::kCoordinate: return {0, 32766, true};
    case ParamKind::kValue: return {0.1, 10, false};
    default: return {1, 5999, true};
    }
}

OperationTable Operations() { return {std::begin(kTable), std::end(kTable)}; }

const Operation *FindOperation(const char *name)
{
    for (const Operation &op : kTable)
        if (std::strcmp(op.name, name) == 0)
            return &op;
    return nullptr;
}

const Operation *FindTreatment(int number)
{
    for (const Operation &op : kTable)
        if (op.treatment != 0 && op.treatment == number)
            return &op;
    return nullptr;
}

const Operation *InverseOf(const Operation &op)
{
    switch (op.reversal) {
    case Reversal::kSelf: return &op;
    case Reversal::kInverse: return FindOperation(op.inverse);
    default: return nullptr;
    }
}

int TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value);
}

}  // namespace mirlan
