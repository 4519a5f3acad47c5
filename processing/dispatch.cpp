// dispatch.cpp: the one entry point of the current treatment, through the
// table of operations.
#include "processing/operations.h"
#include "processing/ti.h"

void CTi::Traitement(CImage *img, int traitement, sRGB couleur, int x, int y, float valeur)
{
    // 0, "no treatment", and any unknown number do nothing.
    const mirlan::Operation *op = mirlan::FindTreatment(traitement);
    if (!op)
        return;
    const double colour[] = {double(couleur.r), double(couleur.g), double(couleur.b)}, point[] = {double(x), double(y)};
    double values[mirlan::kMaxParams];
    int components = 0, coordinates = 0;
    for (int i = 0; i < op->count; ++i) {
        switch (op->params[i].kind) {
        case mirlan::ParamKind::kComponent: values[i] = colour[components++ % 3]; break;
        case mirlan::ParamKind::kCoordinate: values[i] = point[coordinates++ % 2]; break;
        default: values[i] = valeur; break;
        }
    }
    op->run(img, values);
}
