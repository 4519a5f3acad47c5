// operations.cpp: what the rows of the table of operations call beyond
// processing/ti.h: "Noir et blanc" and the adjustment chain, written here
// once, the point's moves, and the lookups.
#include "processing/operations.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>

#include "processing/ti.h"

namespace mirlan {

namespace ops {

sRGB Colour(const double *v) { return sRGB{TruncToInt(v[0]), TruncToInt(v[1]), TruncToInt(v[2])}; }

void BlackAndWhite(CImage *img, const double *)
{
    CTi::NiveauxGris(img);
    CTi::SeuillageFixe(img, 5.0f);
}

// The adjustment panel's chain, in its fixed order.
void Adjustments(CImage *img, const double *v)
{
    CTi::Luminosite(img, TruncToInt(v[0]), TruncToInt(v[1]), TruncToInt(v[2]), TruncToInt(v[3]));
    CTi::Contraste(img, TruncToInt(v[4]));
    CTi::Saturation(img, TruncToInt(v[5]));
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

}  // namespace ops

ParamRange RangeOf(ParamKind kind)
{
    switch (kind) {
    case ParamKind::kGain: return {-100, 100, true};
    case ParamKind::kComponent: return {0, 255, true};
    case ParamKind::kCoordinate: return {0, 32766, true};
    case ParamKind::kValue: return {0.1, 10, false};
    default: return {1, 32767, true};  // the picture's side limit
    }
}

OperationTable Operations() { return {std::begin(ops::kTable), std::end(ops::kTable)}; }

const Operation *FindTreatment(int number)
{
    for (const Operation &op : ops::kTable)
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
