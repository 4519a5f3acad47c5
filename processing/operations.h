// operations.h: the one table of Mirlan's operations. Each row is an
// operation: its command-line name, its French label, its item in the
// editor's menus, its number in the "Traitements" menu, its parameters, the
// function that runs it, how it is undone and where it carries a pixel.
// The treatment dispatch, the editor's commands and history, mirlan-batch
// and its help, and the tests walk this table.
#ifndef MIRLAN_PROCESSING_OPERATIONS_H
#define MIRLAN_PROCESSING_OPERATIONS_H

#include <cstddef>

class CImage;

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

struct OperationTable {
    const Operation *first, *last;
    const Operation *begin() const { return first; }
    const Operation *end() const { return last; }
};

// Every operation, in the order mirlan-batch's help lists them.
OperationTable Operations();
// The operation of that name, or null.
const Operation *FindOperation(const char *name);
// The treatment of that number (1 to 8), or null.
const Operation *FindTreatment(int number);
// The operation that undoes op when it is reversible, else null.
const Operation *InverseOf(const Operation &op);

// value truncated toward zero to an int; saturated out of range, NaN gives 0.
int TruncToInt(double value);

}  // namespace mirlan

#endif
