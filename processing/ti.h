// ti.h: every pixel operation of Mirlan ("traitement d'image"). Each changes
// the image it is given in place; one that changes the size or depth gives
// that same object its new size, depth and pixels.
#ifndef MIRLAN_TI_H
#define MIRLAN_TI_H

#include "image/image.h"

class CTi {
public:
    // Colour adjustments, each value from -100 to 100.
    static void Luminosite(CImage *img, int lum, int rouge, int vert, int bleu);
    static void Contraste(CImage *img, int contraste);
    static void Saturation(CImage *img, int saturation);

    // Colour modes and negative.
    static void Negatif(CImage *img);
    static void NiveauxGris(CImage *img);
    static void CouleursRVB(CImage *img);
    // The first channel of a colour image, as grey: undoes CouleursRVB exactly.
    static void PremierCanal(CImage *img);

    // Geometry.
    static void Rot90h(CImage *img);
    static void Rot90a(CImage *img);
    static void Rot180(CImage *img);
    static void SymetrieV(CImage *img);
    static void SymetrieH(CImage *img);
    static void Redimensionne(CImage *img, int w, int h);

    // Distance maps to the point (x, y).
    static void Distance4Point(CImage *img, sRGB couleur, int x, int y, float valeur);
    static void Distance8Point(CImage *img, sRGB couleur, int x, int y, float valeur);

    // Tone filters.
    static void DentsDeScie(CImage *img);
    static void SeuillageAl(CImage *img);
    static void SeuillageFixe(CImage *img, float valeur);
    static void EgalHisto(CImage *img);
    static void EtirementHisto(CImage *img);

    // Runs treatment 0 to 8 (0 does nothing).
    static void Traitement(CImage *img, int traitement, sRGB couleur, int x, int y, float valeur);
};

#endif
