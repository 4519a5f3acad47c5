// operations.h: the operations of mirlan-batch (the table of
// processing/operations.h), read from the command line and run on an image
// with the very calls the editor's commands make.
#ifndef MIRLAN_BATCH_OPERATIONS_H
#define MIRLAN_BATCH_OPERATIONS_H

#include <cstdio>
#include <string>
#include <vector>

class CImage;

namespace mirlan {
struct Operation;
}

namespace batch {

// An operation with its numbers, read from the command line.
struct Step {
    const mirlan::Operation *operation;
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

// The extensions mirlan-batch writes, for its help and messages: ".png,
// .jpg, ..., .tga".
std::string WritableExtensions();

}  // namespace batch

#endif
