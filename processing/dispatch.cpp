// dispatch.cpp: the one entry point of the current treatment.
#include "processing/ti.h"

void CTi::Traitement(CImage *img, int traitement, sRGB couleur, int x, int y, float valeur)
{
    switch (traitement) {
    case 1: Negatif(img); break;
    case 2: Distance4Point(img, couleur, x, y, valeur); break;
    case 3: Distance8Point(img, couleur, x, y, valeur); break;
    case 4: DentsDeScie(img); break;
    case 5: SeuillageAl(img); break;
    case 6: SeuillageFixe(img, valeur); break;
    case 7: EgalHisto(img); break;
    case 8: EtirementHisto(img); break;
    default: break;  // 0, "no treatment", and any unknown id
    }
}
