// operations.h: the operations of mirlan-batch, read from the command line
// and run on an image with the very calls the editor's commands make.
#ifndef MIRLAN_BATCH_OPERATIONS_H
#define MIRLAN_BATCH_OPERATIONS_H

#include <cstdio>
#include <string>
#include <vector>

class CImage;

namespace batch {

// One number an operation takes, with the range the editor's control allows.
struct Parameter {
    const char *name;
    double min;
    double max;
    bool integer;
};

// An operation: its command-line name, its numbers, what it does (for
// --help) and how it runs on the image with those numbers.
struct Operation {
    const char *name;
    std::vector<Parameter> parameters;
    const char *help;
    // Runs the operation; returns false with a message when the image does
    // not allow it (a point outside the picture).
    bool (*run)(CImage *img, const double *values, std::string &error);
};

// Every operation, in the order --help lists them.
const std::vector<Operation> &Operations();

// An operation with its numbers, read from the command line.
struct Step {
    const Operation *operation;
    std::vector<double> values;
};

// Reads the operations and their numbers from args[0..count); returns false
// with a French message naming the faulty word.
bool ParseSteps(int count, const char *const *args, std::vector<Step> &steps, std::string &error);

// Runs steps on img in order; stops at the first that fails, with its
// message.
bool RunSteps(CImage *img, const std::vector<Step> &steps, std::string &error);

// The help text: usage, every operation with its numbers and their ranges.
void PrintHelp(std::FILE *out);

}  // namespace batch

#endif
